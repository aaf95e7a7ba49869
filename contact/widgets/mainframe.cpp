#include "mainframe.h"

#include "contactcard.h"
#include "indexheader.h"
#include "searchedit.h"
#include "zucontactview.h"

#include "../resource.h"

#include "messagebox.h"
#include "popupmenu.h"
#include "recordlayouts.h"
#include "programwindow.h"
#include "registrykeys.h"
#include "voregistry.h"
#include "windowmessage.h"
#include "widgets/categoryeditor.h"
#include "widgets/categorylist.h"
#include "widgets/menuselectsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/optionsheet.h"
#include "widgets/zufont.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace {

// Remembers where the pen went down on the list, so a tap can tell the marker from the row.
class PressWatcher : public QObject {
public:
    PressWatcher(QObject* parent, QPoint* at) : QObject(parent), m_at(at) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::MouseButtonPress)
            *m_at = static_cast<QMouseEvent*>(e)->position().toPoint();
        return false;
    }

private:
    QPoint* m_at;
};

constexpr int kLeftShift = 12;

}  // namespace

CMainFrame::CMainFrame(CZuContactDoc* doc, QWidget* parent) : QWidget(parent), m_doc(doc)
{
    setObjectName(QStringLiteral("ZuContacts"));
}

CMainFrame::~CMainFrame()
{
    Shutdown();
}

BOOL CMainFrame::Create()
{
    setWindowTitle(QStringLiteral("ZuContacts"));
    resize(kWidth, kHeight);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    const QFont font = ZuFont(L"Tahoma", 12);

    m_category = new QPushButton(this);
    m_category->setObjectName(QString::number(ZU_IDC_CON_CATEGORY));
    m_category->setFont(font);
    m_category->setGeometry(0, 0, 110, kToolBarHeight);
    connect(m_category, &QPushButton::clicked, this, [this] { ShowCategoryMenu(); });

    m_search = new CContactSearchEdit(this);
    m_search->setObjectName(QString::number(ZU_IDC_CON_SEARCH));
    m_search->setFont(font);
    m_search->setGeometry(114, 2, 100, 18);
    connect(m_search, &CContactSearchEdit::searchChanged, this,
        [this](const QString& text, bool composing) { m_doc->SetSearch(text, composing); });

    m_clear = new QToolButton(this);
    m_clear->setObjectName(QString::number(ZU_IDC_CON_CLEAR));
    m_clear->setText(QStringLiteral("×"));
    m_clear->setAutoRaise(true);
    m_clear->setGeometry(218, 3, 16, 16);
    connect(m_clear, &QToolButton::clicked, this, [this] {
        m_search->clear();
        m_doc->SetSearch(QString(), false);
    });

    m_header = new CIndexHeader(this);
    m_header->setObjectName(QString::number(ZU_IDC_CON_INDEX));
    m_header->setGeometry(0, kToolBarHeight, kWidth, kHeaderHeight);
    connect(m_header, &CIndexHeader::indexPressed, this, [this](int b) {
        ZuMessageEvent select(WM_INDEXSELECT, static_cast<WPARAM>(b), 0);
        QCoreApplication::sendEvent(m_view, &select);
    });

    m_leftScroll = new QScrollBar(Qt::Vertical, this);
    m_leftScroll->setObjectName(QString::number(ZU_IDC_CON_LEFT_SCROLL));
    m_leftScroll->hide();

    m_view = new CZuContactView(m_doc, this);
    m_view->viewport()->installEventFilter(new PressWatcher(this, &m_lastPress));
    connect(m_view, &CListViewEx::rowClicked, this, [this](int row) { OnRowTapped(row); });
    connect(m_view, &CListViewEx::rowHeld, this, [this](int row, QPoint) { ShowHoldMenu(row); });
    connect(m_view, &CListViewEx::scrolled, this, [this](int pos) {
        if (m_leftScroll->value() != pos)
            m_leftScroll->setValue(pos);
    });
    connect(m_leftScroll, &QScrollBar::valueChanged, this, [this](int pos) {
        if (m_view->GetScrollPos() != pos)
            m_view->SetScrollPos(pos);
    });

    m_menuBar = new QWidget(this);
    m_menuBar->setObjectName(QStringLiteral("ContactMenuBar"));
    m_menuBar->setAutoFillBackground(true);
    QPalette bar = m_menuBar->palette();
    bar.setColor(QPalette::Window, QColor(120, 161, 245));
    m_menuBar->setPalette(bar);
    auto* tools = new QToolButton(m_menuBar);
    tools->setObjectName(QString::number(ZU_CMD_CONTACT_TOOLS));
    tools->setText(QStringLiteral("도구"));
    tools->setFont(font);
    tools->setAutoRaise(true);
    tools->setGeometry(2, 2, 40, 22);
    connect(tools, &QToolButton::clicked, this, [this, tools] {
        std::vector<ZuMenuEntry> entries(5);
        entries[0] = {ZU_CMD_CONTACT_CALENDAR, CString(L"일     정")};
        entries[1].separator = true;
        entries[2] = {ZU_CMD_CONTACT_OPTIONS, CString(L"설     정")};
        entries[3].separator = true;
        entries[4] = {ZU_CMD_CONTACT_EXIT, CString(L"종료하기")};
        const UINT id = ZuPopupMenu(this, entries, tools->mapToGlobal(QPoint(0, 0)), ZuMenuAnchor::BottomLeft);
        if (id)
            OnCommand(id);
    });
    auto* add = new QToolButton(m_menuBar);
    add->setObjectName(QString::number(ZU_CMD_CONTACT_NEW));
    add->setText(QStringLiteral("+"));
    add->setAutoRaise(true);
    add->setGeometry(48, 4, 16, 16);
    connect(add, &QToolButton::clicked, this, [this] { OnCommand(ZU_CMD_CONTACT_NEW); });
    auto* calendar = new QToolButton(m_menuBar);
    calendar->setObjectName(QString::number(ZU_CMD_CONTACT_CALENDAR));
    calendar->setText(QStringLiteral("일"));
    calendar->setFont(ZuFont(L"Tahoma", 10));
    calendar->setAutoRaise(true);
    calendar->setGeometry(75, 4, 16, 16);
    connect(calendar, &QToolButton::clicked, this, [this] { OnCommand(ZU_CMD_CONTACT_CALENDAR); });

    m_doc->SetFrame(this);
    SetCategoryText(m_doc->CatyStr());
    RecalcLayout();

    m_handle = ZuRegisterMainWindow(this);
    WriteRegistryHWND(m_handle, CString(L"Contact"));
    return TRUE;
}

void CMainFrame::InitialUpdate(const QStringList& arguments)
{
    for (const QString& arg : arguments) {
        bool ok = false;
        const qulonglong value = arg.toULongLong(&ok);
        if (ok && value != 0 && value <= 0xFFFFFFFFULL && static_cast<HWND>(value) != m_handle
            && IsWindow(static_cast<HWND>(value)))
            SendMessage(static_cast<HWND>(value), WM_CLOSE, 0, 0);
    }
    m_doc->OpenDatabases(m_view);
    m_view->ApplyOptions();
    m_doc->LoadList();
    RecalcLayout();
}

QRect CMainFrame::ListArea() const
{
    const int top = m_doc->Options().bShowQuickSearchBar ? kToolBarHeight + kHeaderHeight : kToolBarHeight;
    return QRect(0, top, width(), height() - kMenuBarHeight - top);
}

void CMainFrame::RecalcLayout()
{
    if (!m_view)
        return;
    const QRect area = ListArea();
    m_header->setGeometry(0, kToolBarHeight, width(), kHeaderHeight);
    m_menuBar->setGeometry(0, height() - kMenuBarHeight, width(), kMenuBarHeight);
    m_view->setGeometry(area);
    // The list's rows overflow when its scroll bar has a range.
    const bool overflow = m_view->GetScrollMax() > 0;
    if (m_doc->LeftScroll() && overflow) {
        const int w = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        m_leftScroll->setGeometry(0, area.top(), w, area.height());
        m_leftScroll->setRange(0, m_view->GetScrollMax());
        m_leftScroll->setPageStep(m_view->GetScrollPage());
        m_leftScroll->setValue(m_view->GetScrollPos());
        m_view->setGeometry(area.left() + kLeftShift, area.top(), area.width(), area.height());
        m_leftScroll->show();
        m_leftScroll->raise();
    } else {
        m_leftScroll->hide();
    }
    m_doc->ClearLayoutDirty();
}

void CMainFrame::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    RecalcLayout();
}

void CMainFrame::SetListCount(int count)
{
    if (!m_view)
        return;
    m_view->SetItemCount(count);
    m_view->viewport()->update();
    RecalcLayout();
}

void CMainFrame::SetCategoryText(const CString& text)
{
    if (!m_category)
        return;
    const QFontMetrics fm(m_category->font());
    m_category->setText(fm.elidedText(text.toQString(), Qt::ElideRight, m_category->width() - 8));
    m_category->setToolTip(text.toQString());
}

void CMainFrame::SetSearchText(const QString& text)
{
    if (!m_search || m_search->text() == text)
        return;
    const QSignalBlocker block(m_search);
    m_search->setText(text);
}

void CMainFrame::OnCommand(UINT id)
{
    switch (id) {
    case ZU_CMD_CONTACT_NEW: {
        // The list learns of the new contact through the store's notification.
        CEOID oid = 0;
        ZuNewContact(this, &oid);
        break;
    }
    case ZU_CMD_CONTACT_CALENDAR:
        m_doc->StartCalendar(m_handle);
        break;
    case ZU_CMD_CONTACT_OPTIONS:
        ShowOptionDlg(L"환경설정", this);
        break;
    case ZU_CMD_CONTACT_EXIT:
        close();
        break;
    default:
        break;
    }
}

void CMainFrame::OpenContactCard(CEOID oid)
{
    if (!oid)
        return;
    m_doc->Opened(oid);
    ZuOpenContactCard(this, oid);
}

void CMainFrame::OnRowTapped(int row)
{
    const ContactEntry* e = m_doc->Row(row);
    if (!e)
        return;
    if (m_view->IsMarkerHit(row, m_lastPress)) {
        ShowPreferredMenu(row);
        return;
    }
    OpenContactCard(e->oid);
}

void CMainFrame::ShowCategoryMenu()
{
    const std::vector<ContactMenuItem> items = m_doc->CategoryMenu();
    std::vector<ZuMenuEntry> entries;
    for (const ContactMenuItem& i : items)
        entries.push_back({i.id, i.text, true, i.checked, false});
    QPoint at = m_view->geometry().topLeft() - QPoint(m_leftScroll->isVisible() ? kLeftShift : 0, 23);
    const UINT id = ZuPopupMenu(this, entries, mapToGlobal(at));
    if (!id)
        return;
    if (id == ZU_CON_CATY_SEVERAL) {
        RunCategorySheet();
        return;
    }
    for (const ContactMenuItem& i : items)
        if (i.id == id)
            m_doc->ChooseCategory(id, i.text);
}

void CMainFrame::RunCategorySheet()
{
    // The list offers the categories contacts carry, with the current choice checked.
    std::vector<BYTE> bits;
    if (m_doc->CatyType() >= ZU_CON_ONE && m_doc->CatyType() != ZU_CON_RECENT)
        bits = m_doc->SelectionBitmap();
    CEBLOB preset{static_cast<DWORD>(bits.size()), bits.empty() ? nullptr : bits.data()};
    CCategoryList list;
    list.SetListOption(&preset, ZU_SEL_CONTACTS, FALSE);
    CCategoryEditor editor;
    CMenuSelectSheet sheet(CString(L"주소록"), this);
    sheet.AddPage(&list);
    sheet.AddPage(&editor);
    if (sheet.DoModal() != IDOK) {
        SetCategoryText(m_doc->CatyStr());
        return;
    }
    CArray<_tabCATEGORYMENU> chosen;
    list.GetCategories(&chosen);
    std::vector<int> indexes;
    for (int i = 0; i < chosen.GetSize(); ++i)
        indexes.push_back(chosen[i].nIndex);
    m_doc->ChooseSeveral(indexes);
}

void CMainFrame::ShowPreferredMenu(int row)
{
    const ContactEntry* e = m_doc->Row(row);
    if (!e)
        return;
    const CEOID oid = e->oid;
    CCeDBRecord r;
    if (!m_doc->Contacts().SeekToRecord(oid) || !m_doc->Contacts().ReadCurrRecord(&r))
        return;
    CString dummy;
    wchar_t marker = 0;
    const int current = ZuContactNumber(r, &dummy, &marker);
    std::vector<ZuMenuEntry> entries;
    const auto& kinds = ZuContactNumberKinds();
    int checkedAt = -1;
    for (size_t k = 0; k < kinds.size(); ++k) {
        const CCeDBProp* p = r.GetFullIdProp(MAKEPROPID(kinds[k].ident, CEVT_LPWSTR));
        if (!p || !p->GetString() || !*p->GetString())
            continue;
        const CString value(p->GetString());
        CString text;
        if (value.GetLength() <= 15)
            text.Format(L"%-20s", static_cast<const wchar_t*>(value));
        else
            text = CString(value.str().substr(0, 15));
        text += L"\t";
        text += kinds[k].label;
        if (static_cast<int>(k) == current)
            checkedAt = static_cast<int>(entries.size());
        entries.push_back({kinds[k].ident, text, true, false, false});
    }
    if (entries.empty())
        return;
    entries[static_cast<size_t>(checkedAt >= 0 ? checkedAt : 0)].checked = true;
    const QRect rowRect = m_view->RowRect(row);
    const QPoint top = m_view->viewport()->mapToGlobal(rowRect.topLeft());
    const QPoint right = mapToGlobal(QPoint(236, 0));
    int menuWidth = 0;
    const QFontMetrics fm(font());
    for (const ZuMenuEntry& en : entries)
        menuWidth = std::max(menuWidth, fm.horizontalAdvance(en.text.toQString()) + 40);
    // Right edge at x 236, but never off the screen's left edge.
    const UINT id = ZuPopupMenu(this, entries, QPoint(std::max(mapToGlobal(QPoint(0, 0)).x(), right.x() - menuWidth), top.y()));
    if (!id || (checkedAt >= 0 && entries[static_cast<size_t>(checkedAt)].id == id))
        return;
    m_doc->SetPreferredNumber(oid, static_cast<WORD>(id));
}

void CMainFrame::ShowHoldMenu(int row)
{
    const ContactEntry* e = m_doc->Row(row);
    if (!e)
        return;
    const CEOID oid = e->oid;
    std::vector<ZuMenuEntry> entries = {{ZU_CON_HOLD_COPY, CString(L"Create Copy")}, {ZU_CON_HOLD_DELETE, CString(L"Delete Contact")}};
    const UINT id = ZuPopupMenu(this, entries, QCursor::pos());
    if (id == ZU_CON_HOLD_COPY) {
        m_doc->CopyContact(oid);
    } else if (id == ZU_CON_HOLD_DELETE) {
        if (MessageBox(this, L"현재 선택된 데이터를 삭제하시겠습니까?", L"경고", MB_YESNOCANCEL | MB_ICONWARNING) == IDYES)
            m_doc->DeleteContact(oid);
    }
    m_view->SetSelectedRow(-1);
}

bool CMainFrame::event(QEvent* e)
{
    if (e->type() != ZuMessageEvent::eventType())
        return QWidget::event(e);
    auto* m = static_cast<ZuMessageEvent*>(e);
    switch (m->message()) {
    case WM_CLOSE:
        close();
        return true;
    case WM_COMMAND:
        OnCommand(LOWORD(m->wParam()));
        return true;
    case WM_OPTION_CHANGED:
        if (m_doc->OnOptionChanged(m->wParam(), m->lParam())) {
            m_view->ApplyOptions();
            RecalcLayout();
        }
        return true;
    default:
        return QWidget::event(e);
    }
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    Shutdown();
    e->accept();
}

void CMainFrame::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    if (m_handle) {
        // Another instance may have taken the entry since: leave it to that one.
        CVORegistry key(HKEY_CURRENT_USER, ZuReg::Contact, TRUE);
        if (key.ReadDWORD(L"dwHWND", 0) == m_handle)
            WriteRegistryHWND(0, CString(L"Contact"));
        ZuUnregisterMainWindow(this);
    }
    m_doc->SetFrame(nullptr);
    m_doc->CloseDatabases();
}
