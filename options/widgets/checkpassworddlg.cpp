#include "widgets/checkpassworddlg.h"

#include "messagebox.h"
#include "optionrecords.h"
#include "optionstore.h"
#include "passwordbackoff.h"
#include "resource.h"
#include "sip.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdint>

namespace {

QString idName(UINT id)
{
    return QString::number(id);
}

} // namespace

CCheckPasswordDlg::CCheckPasswordDlg(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(idName(ZU_IDD_CHECK_PASSWORD));
    setWindowTitle(QStringLiteral("비밀번호 확인"));
    setFixedSize(kWidth, kHeight);

    m_edit = new QLineEdit(this);
    m_edit->setObjectName(idName(ZU_IDC_PASSWORD_EDIT));
    m_edit->setEchoMode(QLineEdit::Password);
    m_edit->setGeometry(20, 18, kWidth - 40, 22);

    // Each kept at its place, 69 x 21.
    m_ok = new QPushButton(QStringLiteral("확인"), this);
    m_ok->setObjectName(idName(ZU_IDC_PASSWORD_OK));
    m_ok->setGeometry(22, 56, kButtonWidth, kButtonHeight);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("취소"), this);
    m_cancel->setObjectName(idName(IDCANCEL));
    m_cancel->setGeometry(kWidth - 22 - kButtonWidth, 56, kButtonWidth, kButtonHeight);
    m_cancel->setAutoDefault(false);

    connect(m_ok, &QPushButton::clicked, this, &CCheckPasswordDlg::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_edit->setFocus();
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
