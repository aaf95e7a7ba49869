// checkpassworddlg.h - the start-up password prompt.
//
// ShowCheckDlg lets the user in without asking while another program of the suite has a live
// main window (the password was given there; a stale or foreign "dwHWND" does not count, nor
// this program's own window); otherwise it shows CCheckPasswordDlg modally and answers TRUE
// exactly when the dialog ended with IDOK. It does not look at "bSecurityFlag": the programs call
// it only when protection is on, before they create and register their main window, and end when
// it answers FALSE.
//
// CCheckPasswordDlg (dialog 131, "비밀번호 확인"): the password edit 1014, OK 1015 and cancel 2.
// OK (or Enter) checks the text through COptionStore::CheckPassword. A wrong entry shows
// "비밀번호가 맞지 않습니다.\n다시 입력해주십시오." ("비밀번호 체크 실패", OK only) and the dialog stays
// open with the text selected for the next try; while the check asks to wait after repeated
// wrong entries, OK is disabled until the wait is over. There is no limit on the number of tries.
// Cancel, Escape and closing the window end it with IDCANCEL. The input panel is shown while the
// dialog is open.
//
// OK and cancel are image buttons (CCeButtonST) of 69 x 21: bitmaps 140 and 142, 141 and 143 while
// pressed, white transparent, flat and borderless, over the background picture 144 that fills the
// dialog.
#pragma once

#include "wintypes.h"

#include <QDialog>
#include <QPixmap>

#include <cstdint>

class CCeButtonST;
class QLineEdit;

class CCheckPasswordDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kWidth = 196;
    static constexpr int kHeight = 92;
    static constexpr int kButtonWidth = 69;
    static constexpr int kButtonHeight = 21;

    explicit CCheckPasswordDlg(QWidget* parent = nullptr);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnOK();
    // Keeps OK disabled for `ms` milliseconds (the pause between tries), then selects the text.
    void HoldFor(std::int64_t ms);

    QLineEdit* m_edit = nullptr;
    CCeButtonST* m_ok = nullptr;
    CCeButtonST* m_cancel = nullptr;
    QPixmap m_background;
};

// TRUE: the program may go on; FALSE: it ends.
BOOL ShowCheckDlg(QWidget* parent);
