// stringtable.h - the suite's shared string table, keyed by resource id.
//
// Every library of the suite uses the same ids for the Korean instance, weekday, month and
// recurrence texts (65009 to 65081); this table carries them once, together with the calendar's
// caption formats (65082 to 65086, 65101). A library whose own resources give an id another
// text asks for its module's table: ZuCompLib's 65082 is the task page's message.
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <span>

// Resource ids of the texts used by this library's own functions.
namespace ZuStr {
constexpr UINT PoomInstanceFirst = 65009;  // "첫번째" ... 65013 "마지막"
constexpr UINT AllGroups = 65020;          // "모든 그룹"
constexpr UINT NoGroup = 65021;            // "그룹 없음"
constexpr UINT MultiSelect = 65022;        // "다중선택..."
constexpr UINT InstanceFirst = 65032;      // "첫째" ... 65037 "여섯째"
constexpr UINT InstanceLast = 65038;       // "마지막"
constexpr UINT Sunday = 65039;             // "일요일" ... 65045 "토요일"
constexpr UINT And = 65046;                // "그리고"
constexpr UINT NoRecurrence = 65050;       // "반복없음", then 65051 to 65054 the four kinds
constexpr UINT RecurEveryWeekday = 65055;  // recurrence sentences 65055 to 65061, 65064 to 65067
constexpr UINT RecurFrom = 65064;          // "%02d-%02d-%02d 부터"
constexpr UINT RecurUntil = 65065;         // "%02d-%02d-%02d 까지"
constexpr UINT MonthBase = 65069;          // + month: 65070 "1월" ... 65081 "12월"
constexpr UINT CaptionBase = 65082;        // + view type: the calendar's caption formats
constexpr UINT CaptionWeekAcross = 65101;  // week caption across two months
constexpr UINT Week = 65086;               // "주"
constexpr UINT TaskNeedsDue = 65082;       // ZuCompLib's own 65082
} // namespace ZuStr

// The tables a caller can ask for. Shared is the table above; CompLib is ZuCompLib's, which
// differs from the shared one only in 65082.
enum class ZuStringModule { Shared, CompLib };

// The text of the id, empty for an id the table does not have.
CString ZuLoadString(UINT id);
CString ZuLoadString(UINT id, ZuStringModule module);

// Every id of the shared table, ascending.
std::span<const UINT> ZuStringIds();
