// resource.h - the options library's resource ids: the password prompt's and the options dialog's
// dialogs, controls and bitmaps. The bitmaps are Qt resources ":/options/<id>" (ZuLoadBitmap).
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

// The options dialog (COptionSheet and its pages).
constexpr UINT ZU_IDD_PAGE_CONTACT = 105;       // CPageContactBase
constexpr UINT ZU_IDD_PAGE_GENERAL = 129;       // CPageGeneral
constexpr UINT ZU_IDD_PAGE_CALENDAR = 130;      // CPageCalendar
constexpr UINT ZU_IDB_OPTION_CANCEL = 132;      // the bar's cancel button
constexpr UINT ZU_IDR_OPTION_MENU = 133;        // the bar's menu: "저장", "취소"
constexpr UINT ZU_IDB_OPTION_SAVE = 134;        // the bar's save button
constexpr UINT ZU_IDB_OPTION_TABS = 137;        // the tab icons, 16 px each: general, calendar, contacts
constexpr UINT ZU_IDC_OPTION_BAR = 0xE800;      // the command bar
constexpr UINT ZU_ID_OPTION_MENU_SAVE = 32771;  // menu "저장"
constexpr UINT ZU_ID_OPTION_MENU_CANCEL = 32774; // menu "취소"
constexpr UINT ZU_IDC_OPTION_SAVE = 1016;       // save (the bar's button; pages forward it)

// CPageGeneral
constexpr UINT ZU_IDC_LEFT_SCROLL = 1000;       // "왼쪽스크롤 사용"
constexpr UINT ZU_IDC_USE_PASSWORD = 1001;      // "비밀번호 사용"
constexpr UINT ZU_IDC_PASSWORD_PROMPT = 1002;   // "비밀번호를 입력하세요"
constexpr UINT ZU_IDC_PASSWORD_LABEL = 1003;    // "입력"
constexpr UINT ZU_IDC_PASSWORD_AGAIN_LABEL = 1004; // "재입력"
constexpr UINT ZU_IDC_PASSWORD_NEW = 1005;      // the new password
constexpr UINT ZU_IDC_PASSWORD_AGAIN = 1006;    // the new password again
constexpr UINT ZU_IDC_PASSWORD_FRAME = 1007;    // the frame round the password controls
constexpr UINT ZU_IDC_PASSWORD_RULE = 1008;     // "비밀번호는 숫자,영문 조합의 4자 이상12자 미만입니다."

// CPageCalendar
constexpr UINT ZU_IDC_CAL_PRIVATE = 1009;       // "개인정보 설정"
constexpr UINT ZU_IDC_CAL_BIGFONT = 1010;       // "큰글씨 사용"
constexpr UINT ZU_IDC_TASK_STATUSBAR = 1011;    // "할일 진행율 막대표시"
constexpr UINT ZU_IDC_WEEK_START = 1012;        // week view's first hour, "0" to "11"
constexpr UINT ZU_IDC_WEEK_END = 1013;          // week view's last hour, start + 12 to "24"

// CPageContactBase
constexpr UINT ZU_IDC_CONTACT_QUICKSEARCH = 1004; // "헤더보이기"
constexpr UINT ZU_IDC_CONTACT_NAMEONLY = 1005;  // "주소록 이름만 보이기" (hidden)
constexpr UINT ZU_IDC_CONTACT_MULTILINE = 1007; // "멀티라인 표시하기"
constexpr UINT ZU_IDC_CONTACT_BIGFONT = 1017;   // "큰 폰트 사용하기"
