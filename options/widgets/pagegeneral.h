// pagegeneral.h - the options dialog's general page (dialog 129, heading "일반 옵션", tab "일반").
//
// | control        | id   | text                                                  |
// |----------------|------|-------------------------------------------------------|
// | check box      | 1000 | "왼쪽스크롤 사용" (left scroll)                        |
// | check box      | 1001 | "비밀번호 사용" (password protection)                  |
// | label          | 1002 | "비밀번호를 입력하세요"                                 |
// | label          | 1003 | "입력"                                                 |
// | password edit  | 1005 | the new password                                      |
// | label          | 1004 | "재입력"                                               |
// | password edit  | 1006 | the new password again                                |
// | group frame    | 1007 |                                                       |
// | label          | 1008 | "비밀번호는 숫자,영문 조합의 4자 이상12자 미만입니다."  |
//
// 1001 is shown, so the user can switch protection on and off; the seven controls 1002 to 1008
// are shown only while it is checked. The stored password is never read back: both edits start
// empty, and empty edits mean "keep the password" (when one is stored). An edit with the focus
// raises the input panel; leaving it lowers the panel.
//
// Apply: with 1001 off the page's password becomes "NO". With it on ("비밀번호 에러", OK only):
// - 1005 empty: "비밀번호를 입력해주세요." unless both edits are empty and a password is stored
//   (then it is kept: the page's password is empty);
// - fewer than 4 or more than 11 characters: "비밀번호는 4자 이상 12자 미만입니다. \n 확인해주세요.";
// - a character other than A-Z, a-z, 0-9: "숫자와 영문 조합이어야 합니다";
// - 1005 and 1006 differ: "입력/재입력 문자가 동일하지 않습니다.\n다시 입력하세요." (owned by the page);
// and the step fails; otherwise the page's password is the text of 1005.
#pragma once

#include "cstring.h"
#include "optionrecords.h"
#include "widgets/optionpage.h"

#include <array>

class QCheckBox;
class QLineEdit;
class QWidget;

class CPageGeneral : public COptionPage {
    Q_OBJECT
public:
    CPageGeneral();

    // The values the page starts from; passwordStored: a password is in force, so empty edits
    // keep it.
    void Load(const _tabGeneralOpt& opt, BOOL passwordStored);

    BOOL GetSecurityFlag() const { return m_bSecurityFlag; }
    BOOL GetLeftScrollFlag() const { return m_bLeftScrollFlag; }
    // After apply: "NO" with protection off, "" to keep the stored password, else the new one.
    const CString& GetPassword() const { return m_password; }

    BOOL OnInitDialog() override;
    BOOL OnApply() override;

    // Shows or hides the controls 1002 to 1008.
    void ShowPasswordControls(bool show);
    // Lowers the input panel when a password edit raised it (the sheet closes).
    void LowerInputPanel();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BOOL ValidatePassword(const QString& text, const QString& again);

    BOOL m_bSecurityFlag = FALSE;
    BOOL m_bLeftScrollFlag = FALSE;
    BOOL m_passwordStored = FALSE;
    CString m_password = L"NO";
    bool m_panelRaised = false;

    QCheckBox* m_leftScroll = nullptr;
    QCheckBox* m_usePassword = nullptr;
    QLineEdit* m_edit = nullptr;
    QLineEdit* m_again = nullptr;
    std::array<QWidget*, 7> m_passwordControls{};
};
