#include "widgets/pagegeneral.h"

#include "messagebox.h"
#include "resource.h"
#include "sip.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int kMinLength = 4;
constexpr int kMaxLengthExclusive = 12;
const wchar_t* const kErrorCaption = L"비밀번호 에러";

QLabel* label(QWidget* parent, UINT id, const QString& text, const QRect& at)
{
    auto* l = new QLabel(text, parent);
    if (id)
        l->setObjectName(QString::number(id));
    l->setGeometry(at);
    return l;
}

QLineEdit* passwordEdit(QWidget* parent, UINT id, const QRect& at)
{
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::number(id));
    e->setEchoMode(QLineEdit::Password);
    e->setGeometry(at);
    return e;
}

bool latinLetterOrDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'A' && u <= u'Z') || (u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9');
}

} // namespace

CPageGeneral::CPageGeneral()
    : COptionPage(ZU_IDD_PAGE_GENERAL, QStringLiteral("일반 옵션"), CString(L"일반"))
{
}

void CPageGeneral::Load(const _tabGeneralOpt& opt, BOOL passwordStored)
{
    m_bSecurityFlag = opt.bSecurityFlag;
    m_bLeftScrollFlag = opt.bLeftScrollFlag;
    m_passwordStored = passwordStored;
    m_password = m_bSecurityFlag ? CString() : CString(L"NO");
}

BOOL CPageGeneral::OnInitDialog()
{
    m_leftScroll = MakeCheckBox(ZU_IDC_LEFT_SCROLL, QStringLiteral("왼쪽스크롤 사용"), QRect(8, 32, 224, 20));
    m_usePassword = MakeCheckBox(ZU_IDC_USE_PASSWORD, QStringLiteral("비밀번호 사용"), QRect(8, 56, 224, 20));

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QString::number(ZU_IDC_PASSWORD_FRAME));
    frame->setGeometry(8, 82, 224, 140);
    frame->lower();
    QLabel* prompt = label(this, ZU_IDC_PASSWORD_PROMPT, QStringLiteral("비밀번호를 입력하세요"), QRect(16, 90, 208, 18));
    QLabel* enter = label(this, ZU_IDC_PASSWORD_LABEL, QStringLiteral("입력"), QRect(16, 115, 50, 20));
    m_edit = passwordEdit(this, ZU_IDC_PASSWORD_NEW, QRect(68, 114, 152, 22));
    QLabel* again = label(this, ZU_IDC_PASSWORD_AGAIN_LABEL, QStringLiteral("재입력"), QRect(16, 143, 50, 20));
    m_again = passwordEdit(this, ZU_IDC_PASSWORD_AGAIN, QRect(68, 142, 152, 22));
    QLabel* rule = label(this, ZU_IDC_PASSWORD_RULE, QStringLiteral("비밀번호는 숫자,영문 조합의 4자 이상12자 미만입니다."),
                         QRect(16, 172, 208, 44));
    rule->setWordWrap(true);
    rule->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_passwordControls = {prompt, enter, again, m_edit, m_again, frame, rule};

    for (QLineEdit* e : {m_edit, m_again})
        e->installEventFilter(this);

    m_leftScroll->setChecked(m_bLeftScrollFlag);
    m_usePassword->setChecked(m_bSecurityFlag);
    ShowPasswordControls(m_bSecurityFlag);
    connect(m_usePassword, &QCheckBox::clicked, this, [this] { ShowPasswordControls(m_usePassword->isChecked()); });
    return TRUE;
}

void CPageGeneral::ShowPasswordControls(bool show)
{
    for (QWidget* w : m_passwordControls)
        if (w)
            w->setVisible(show);
}

bool CPageGeneral::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_edit || watched == m_again) {
        if (event->type() == QEvent::FocusIn) {
            SipShowIM(SIPF_ON);
            m_panelRaised = true;
        } else if (event->type() == QEvent::FocusOut) {
            LowerInputPanel();
        }
    }
    return COptionPage::eventFilter(watched, event);
}

void CPageGeneral::LowerInputPanel()
{
    if (!m_panelRaised)
        return;
    SipShowIM(SIPF_OFF);
    m_panelRaised = false;
}

BOOL CPageGeneral::ValidatePassword(const QString& text, const QString& again)
{
    if (text.isEmpty()) {
        if (again.isEmpty() && m_passwordStored)
            return TRUE;  // the password in force stays
        MessageBox(nullptr, L"비밀번호를 입력해주세요.", kErrorCaption, MB_OK);
        return FALSE;
    }
    if (text.size() < kMinLength || text.size() >= kMaxLengthExclusive) {
        CString message;
        message.Format(L"비밀번호는 %d자 이상 %d자 미만입니다. \n 확인해주세요.", kMinLength, kMaxLengthExclusive);
        MessageBox(nullptr, message.str().c_str(), kErrorCaption, MB_OK);
        return FALSE;
    }
    for (const QChar c : text)
        if (!latinLetterOrDigit(c)) {
            MessageBox(nullptr, L"숫자와 영문 조합이어야 합니다", kErrorCaption, MB_OK);
            return FALSE;
        }
    if (text != again) {
        MessageBox(this, L"입력/재입력 문자가 동일하지 않습니다.\n다시 입력하세요.", kErrorCaption, MB_OK);
        return FALSE;
    }
    return TRUE;
}

BOOL CPageGeneral::OnApply()
{
    if (!HasWindow())
        return TRUE;  // never shown: the values loaded stay
    const BOOL security = m_usePassword->isChecked() ? TRUE : FALSE;
    m_bLeftScrollFlag = m_leftScroll->isChecked() ? TRUE : FALSE;
    if (!security) {
        m_bSecurityFlag = FALSE;
        m_password = L"NO";
        return TRUE;
    }
    if (!ValidatePassword(m_edit->text(), m_again->text())) {
        m_edit->setFocus();
        m_edit->selectAll();
        return FALSE;
    }
    m_bSecurityFlag = TRUE;
    m_password = CString::fromQString(m_edit->text());
    return TRUE;
}
