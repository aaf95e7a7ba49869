#include "contactdetaildlg.h"

#include "cardlook_p.h"
#include "contacteditor.h"
#include "contactfields.h"
#include "contactheader.h"
#include "fieldlistctrl.h"
#include "messagebox.h"
#include "pimstore.h"
#include "resource.h"
#include "widgets/bmpbutton.h"
#include "widgets/inkxloader.h"
#include "widgets/modaldialog.h"
#include "windowmessage.h"

#include <QCoreApplication>
#include <QPalette>

CContactDetailDlg::CContactDetailDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(kTemplateId));
    setWindowTitle(QString::fromWCharArray(ZU_CONTACT_CAPTION));
    resize(kWidth, kHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, zucard::windowColor());
    setPalette(pal);
    setAutoFillBackground(true);
    m_header = new CContactHeader(this);
    m_rows = new CFieldListCtrl(this, IDC_CARD_ROWS);
    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("CardBar"));
    QPalette barPal = m_bar->palette();
    barPal.setColor(QPalette::Window, QColor(120, 161, 245));
    m_bar->setPalette(barPal);
    m_bar->setAutoFillBackground(true);
    m_edit = new CBmpButton(m_bar, IDC_CARD_EDIT);
    m_edit->LoadButtonBitmaps(IDB_EDIT_UP, IDB_EDIT_DOWN, 0, 0, ZuModule::Contact);
    m_delete = new CBmpButton(m_bar, IDC_CARD_DELETE);
    m_delete->LoadButtonBitmaps(IDB_DELETE_UP, IDB_DELETE_DOWN, 0, 0, ZuModule::Contact);
    connect(m_edit, &QAbstractButton::clicked, this, &CContactDetailDlg::OnEdit);
    connect(m_delete, &QAbstractButton::clicked, this, &CContactDetailDlg::OnDelete);
    connect(m_header, &CContactHeader::noteToggled, this, [this](bool shown) {
        ZuMessageEvent e(WM_ZU_SHOWNOTE, shown ? 5 : 0, 0);
        QCoreApplication::sendEvent(this, &e);
    });
    layout();
}

BOOL CContactDetailDlg::SetContact(CEOID id)
{
    m_id = id;
    const BOOL loaded = m_data.Load(id);
    fill();
    return loaded;
}

void CContactDetailDlg::fill()
{
    setWindowTitle(m_data.DisplayName().toQString().trimmed());
    m_header->SetContact(m_data);
    std::vector<std::pair<CString, CString>> rows;
    for (const ZuCardRow& row : ZuCardRows()) {
        const CString value = ZuCardRowValue(m_data, row);
        if (!value.IsEmpty())
            rows.emplace_back(ZuCardRowLabel(row), value);
    }
    m_rows->SetTextRows(rows);
    // A new ink window for the note; the earlier one goes first.
    delete m_ink;
    if (!m_data.GetNote().empty() && ZuInitInkX()) {
        m_ink = ZuCreateInkWindow(this, true);
        if (m_ink) {
            m_ink->setObjectName(QString::number(IDC_CARD_INK));
            const std::vector<BYTE>& note = m_data.GetNote();
            ZuMessageEvent set(INKM_SETDATA, static_cast<WPARAM>(note.size()), reinterpret_cast<LPARAM>(note.data()));
            QCoreApplication::sendEvent(m_ink, &set);
            m_ink->hide();
        }
    }
    layout();
}

void CContactDetailDlg::layout()
{
    const int w = width(), h = height();
    const int top = m_header->PanelHeight();
    m_header->setGeometry(0, 0, w, top);
    m_bar->setGeometry(0, h - kBarHeight, w, kBarHeight);
    m_rows->setGeometry(0, top, w, h - kBarHeight - top);
    if (m_ink)
        m_ink->setGeometry(0, top, w, h - kBarHeight - top);
    const int by = (kBarHeight - m_edit->height()) / 2;
    m_edit->move(4, by);
    m_delete->move(8 + m_edit->width(), by);
}

void CContactDetailDlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    layout();
}

void CContactDetailDlg::showNote(bool show)
{
    if (!m_ink)
        return;
    m_ink->setVisible(show);
    if (show)
        m_ink->raise();
    if (m_header->IsNoteShown() != show)
        m_header->SetNoteShown(show);
}

bool CContactDetailDlg::event(QEvent* e)
{
    if (e->type() == ZuMessageEvent::eventType()) {
        auto* m = static_cast<ZuMessageEvent*>(e);
        if (m->message() == WM_ZU_SHOWNOTE) {
            showNote(m->wParam() == 5);
            m->setResult(0);
            return true;
        }
    }
    return QDialog::event(e);
}

int CContactDetailDlg::DoModal()
{
    return ZuRunModal(this);
}

void CContactDetailDlg::reject()
{
    done(IDCANCEL);
}

void CContactDetailDlg::OnEdit()
{
    CEOID oid = m_id;
    const int result = ZuEditContact(this, oid);
    if (result == IDOK) {
        m_id = oid;
        m_data.Load(m_id);
        fill();
    }
}

void CContactDetailDlg::OnDelete()
{
    if (MessageBox(this, L"주소록을 지우시겠습니까?", ZU_CONTACT_CAPTION, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    CCeDBDatabase db;
    const int deleted = GetDatabasePtr(&db, ZU_SEL_CONTACTS) && DeleteRecord(&db, m_id, ZU_SEL_CONTACTS);
    CloseDatabase(&db);
    if (!deleted) {
        MessageBox(this, ZU_CONTACT_DELETE_FAILED, ZU_CONTACT_CAPTION, MB_OK | MB_ICONWARNING);
        return;
    }
    done(IDOK);
}
