// resource.h - the resource ids of ZuCompLib: its bitmaps and the sheets' commands.
//
// Its strings are in the shared table's header (utils/resource.h, ZuStr; loaded with
// ZuLoadString(id, ZuModule::CompLib)).
#pragma once

#include "wintypes.h"

namespace ZuCompLibRes {
// Bitmaps (complib/images/<id>.png).
constexpr UINT BmpTaskTabs = 138;        // the task editor's tab icons, 4 × 16 px
constexpr UINT BmpMenuSelectTabs = 139;  // the menu select sheet's tab icons, 2 × 16 px
constexpr UINT BmpAppointmentTabs = 140; // the appointment editor's tab icons, 5 × 16 px
constexpr UINT BmpNoteTools = 142;       // the event sheet's hidden button that opens the note's tool bar
constexpr UINT BmpMenuSelectOk = 149;    // the menu select sheet's OK
constexpr UINT BmpSheetCancel = 156;     // the sheets' cancel
constexpr UINT BmpEventOk = 171;         // the event sheet's OK
constexpr UINT BmpContactTabs = 188;     // the contact editor's tab icons, 6 × 16 px
// The view board.
constexpr UINT BmpBoardIcons = 152;      // the title's icons, 3 × 16 px: appointment, anniversary, task
constexpr UINT BmpBoardEditDown = 164;   // edit ("편집"), pressed, 29 × 19
constexpr UINT BmpBoardEdit = 165;       // edit, released
constexpr UINT BmpBoardDeleteDown = 166; // delete ("삭제"), pressed, 29 × 19
constexpr UINT BmpBoardDelete = 167;     // delete, released
constexpr UINT BmpBoardCollapsed = 173;  // the note's expand button while the note covers the rows, 15 × 15
constexpr UINT BmpBoardExpanded = 174;   // the expand button while the note lies below the rows

// Commands and controls of the sheets.
constexpr UINT IdSheetOk = 45000;        // OK on the sheets' command bar
constexpr UINT IdSheetCancel = 2;        // cancel (IDCANCEL)
constexpr UINT IdNoteSeparator = 45001;  // the hidden gap before the note's button
constexpr UINT IdNoteTools = 45002;      // the hidden button that opens the note's tool bar
constexpr UINT IdCommandBar = 0xE800;    // the sheets' command bar
} // namespace ZuCompLibRes
