// resource.h - the options library's resource ids: the password prompt's dialog, controls and
// bitmaps. The bitmaps are to be Qt resources ":/options/<id>" (ZuLoadBitmap).
#pragma once

#include "wintypes.h"

// The password prompt (CCheckPasswordDlg).
constexpr UINT ZU_IDD_CHECK_PASSWORD = 131;     // the dialog, "비밀번호 확인"
constexpr UINT ZU_IDC_PASSWORD_EDIT = 1014;     // the password edit
constexpr UINT ZU_IDC_PASSWORD_OK = 1015;       // OK; cancel is IDCANCEL (2)
constexpr UINT ZU_IDB_PASSWORD_OK = 140;        // OK button, normal
constexpr UINT ZU_IDB_PASSWORD_OK_DOWN = 141;   // OK button, pressed
constexpr UINT ZU_IDB_PASSWORD_CANCEL = 142;    // cancel button, normal
constexpr UINT ZU_IDB_PASSWORD_CANCEL_DOWN = 143; // cancel button, pressed
constexpr UINT ZU_IDB_PASSWORD_BACKGROUND = 144;  // the dialog's full-size background
