// contextmenus_p.h - the entries of the hour grids' context menus ("Context0" on the grid,
// "Context1" on an appointment box), from menu 173.
#pragma once

#include "popupmenu.h"
#include "resource.h"

#include <vector>

// "Context0": the new-record entries, then cut, copy and delete greyed (nothing is under the pen)
// and paste only with a record on the clipboard.
inline std::vector<ZuMenuEntry> ZuGridContextMenu(bool canPaste)
{
    std::vector<ZuMenuEntry> menu;
    menu.push_back({ZU_CMD_NEW_APPOINTMENT, CString(L"새 일정")});
    menu.push_back({ZU_CMD_NEW_ANNIVERSARY, CString(L"새 기념일")});
    menu.push_back({ZU_CMD_NEW_TASK, CString(L"새 할일")});
    ZuMenuEntry separator;
    separator.separator = true;
    menu.push_back(separator);
    menu.push_back({ZU_CMD_CUT, CString(L"잘라내기"), false});
    menu.push_back({ZU_CMD_COPY, CString(L"복사하기"), false});
    menu.push_back({ZU_CMD_PASTE, CString(L"붙이기"), canPaste});
    menu.push_back({ZU_CMD_DELETE, CString(L"이벤트 지우기"), false});
    return menu;
}

// "Context1": cut, copy and delete the box's record; paste greyed.
inline std::vector<ZuMenuEntry> ZuBoxContextMenu()
{
    return {{ZU_CMD_CUT, CString(L"잘라내기")},
            {ZU_CMD_COPY, CString(L"복사하기")},
            {ZU_CMD_PASTE, CString(L"붙이기"), false},
            {ZU_CMD_DELETE, CString(L"이벤트 지우기")}};
}
