#include "widgets/checkpassworddlg.h"

#include "bitmap.h"
#include "messagebox.h"
#include "optionrecords.h"
#include "optionstore.h"
#include "passwordbackoff.h"
#include "resource.h"
#include "sip.h"
#include "widgets/cebuttonst.h"

#include <QLineEdit>
#include <QPainter>
#include <QTimer>

#include <cstdint>

namespace {

QString idName(UINT id)
{
    return QString::number(id);
}

// An image button of the prompt: the pressed and the normal bitmap, white transparent, flat and
// borderless, so the background picture shows round it.
CCeButtonST* imageButton(QWidget* parent, UINT id, UINT pressed, UINT normal, QPoint at)
{
    auto* button = new CCeButtonST(parent, id);
    button->SetBitmaps(pressed, RGB(255, 255, 255), normal, RGB(255, 255, 255), ZuModule::Options);
    button->SetFlat(TRUE, FALSE);
    button->DrawBorder(FALSE, FALSE);
    button->SetAlwaysTrack(FALSE);
    button->setGeometry(QRect(at, QSize(CCheckPasswordDlg::kButtonWidth, CCheckPasswordDlg::kButtonHeight)));
    return button;
}

} // namespace

CCheckPasswordDlg::CCheckPasswordDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(idName(ZU_IDD_CHECK_PASSWORD));
    setWindowTitle(QStringLiteral("비밀번호 확인"));
    setFixedSize(kWidth, kHeight);
    m_background = ZuLoadBitmap(ZU_IDB_PASSWORD_BACKGROUND, ZuModule::Options);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(idName(ZU_IDC_PASSWORD_EDIT));
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setGeometry(20, 18, kWidth - 40, 22);

    // Each kept at its place, 69 x 21.
    m_ok = imageButton(this, ZU_IDC_PASSWORD_OK, ZU_IDB_PASSWORD_OK_DOWN, ZU_IDB_PASSWORD_OK, QPoint(22, 56));
    m_cancel = imageButton(this, IDCANCEL, ZU_IDB_PASSWORD_CANCEL_DOWN, ZU_IDB_PASSWORD_CANCEL,
                           QPoint(kWidth - 22 - kButtonWidth, 56));

    connect(m_ok, &QAbstractButton::clicked, this, &CCheckPasswordDlg::OnOK);
    connect(m_cancel, &QAbstractButton::clicked, this, &QDialog::reject);
    // Enter checks the entry, as OK does (the image buttons are no default buttons).
    connect(m_edit, &QLineEdit::returnPressed, this, &CCheckPasswordDlg::OnOK);
    m_edit->setFocus();
}

void CCheckPasswordDlg::paintEvent(QPaintEvent* event)
{
    if (m_background.isNull()) {
        QDialog::paintEvent(event);
        return;
    }
    QPainter(this).drawPixmap(0, 0, m_background);
}

void CCheckPasswordDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    SipShowIM(SIPF_ON);
    m_edit->setFocus();
}

void CCheckPasswordDlg::done(int result)
{
    SipShowIM(SIPF_OFF);
    QDialog::done(result);
}

void CCheckPasswordDlg::OnOK()
{
    if (!m_ok->isEnabled())
        return;  // Enter while the pause runs
    std::int64_t waitMs = 0;
    switch (COptionStore().CheckPassword(CString::fromQString(m_edit->text()), &waitMs)) {
    case COptionStore::PasswordCheck::Right:
        accept();
        return;
    case COptionStore::PasswordCheck::Wrong:
        MessageBox(this, L"비밀번호가 맞지 않습니다.\n다시 입력해주십시오.", L"비밀번호 체크 실패", MB_OK);
        HoldFor(CPasswordBackoff::Instance().RemainingMs(CPasswordBackoff::NowMs()));
        return;
    case COptionStore::PasswordCheck::Wait:
        HoldFor(waitMs);
        return;
    }
}

void CCheckPasswordDlg::HoldFor(std::int64_t ms)
{
    m_edit->setFocus();
    m_edit->selectAll();
    if (ms <= 0)
        return;
    m_ok->setEnabled(false);
    QTimer::singleShot(static_cast<int>(ms), this, [this] {
        m_ok->setEnabled(true);
        m_edit->setFocus();
        m_edit->selectAll();
    });
}

BOOL ShowCheckDlg(QWidget* parent)
{
    if (IsAnotherSuiteProgramRunning())
        return TRUE;
    CCheckPasswordDlg dialog(parent);
    return dialog.exec() == QDialog::Accepted ? TRUE : FALSE;
}
