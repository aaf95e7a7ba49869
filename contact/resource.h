// resource.h - the contacts program's ids: commands, controls and messages.
#pragma once

#include "wintypes.h"

constexpr UINT ZU_CMD_CONTACT_NEW = 32771;       // new contact
constexpr UINT ZU_CMD_CONTACT_TOOLS = 32773;     // "도구"
constexpr UINT ZU_CMD_CONTACT_CALENDAR = 32775;  // "일     정": start the calendar
constexpr UINT ZU_CMD_CONTACT_OPTIONS = 32780;   // "설     정"
constexpr UINT ZU_CMD_CONTACT_EXIT = 32826;      // "종료하기"

constexpr UINT ZU_CON_CATY_NONE = 300;      // "그룹 없음"
constexpr UINT ZU_CON_CATY_FIRST = 301;     // the listed categories, 301 to 307
constexpr UINT ZU_CON_CATY_LAST = 307;
constexpr UINT ZU_CON_CATY_SEVERAL = 308;   // "다중선택..."
constexpr UINT ZU_CON_CATY_ALL = 309;       // "모든 그룹"
constexpr UINT ZU_CON_CATY_RECENT = 310;    // "최근목록"

constexpr UINT ZU_CON_HOLD_COPY = 400;      // "Create Copy"
constexpr UINT ZU_CON_HOLD_DELETE = 401;    // "Delete Contact"

constexpr UINT ZU_IDC_CON_CATEGORY = 1000;  // category drop-down button
constexpr UINT ZU_IDC_CON_SEARCH = 1001;    // quick-search edit box
constexpr UINT ZU_IDC_CON_CLEAR = 1002;     // clear bitmap
constexpr UINT ZU_IDC_CON_INDEX = 1003;     // index header
constexpr UINT ZU_IDC_CON_LEFT_SCROLL = 1004;

constexpr UINT WM_SETLISTCOUNT = 0x0FB8;
constexpr UINT WM_INDEXSELECT = 0x0531;

// Filter kinds ("CatyType").
constexpr int ZU_CON_ALL = 0;
constexpr int ZU_CON_NO_CATEGORY = 1;
constexpr int ZU_CON_ONE = 2;
constexpr int ZU_CON_SEVERAL = 4;
constexpr int ZU_CON_RECENT = 8;
