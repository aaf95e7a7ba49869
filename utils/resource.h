// resource.h - the resource ids of ZuUtils: the shared string table.
//
// Every library of the suite carries the Korean instance, weekday, month and recurrence texts
// under the same ids (65009 to 65081); ZuUtils' table holds them once, with the calendar's caption
// formats (65082 to 65086, 65101) and the contacts' day texts (65088, 65089). Callers load them
// with ZuLoadString (stringtable.h), which includes this header.
#pragma once

#include "wintypes.h"

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
// The recurrence sentence: the pattern part by kind, then the range texts.
constexpr UINT RecurEveryWeekday = 65055;  // "주중(월~금) 반복"
constexpr UINT RecurEveryDay = 65056;      // "매일 반복"
constexpr UINT RecurEveryNDays = 65057;    // "%d 일 마다 반복"
constexpr UINT RecurWeekly = 65058;        // "매주 %s 에 반복"
constexpr UINT RecurEveryNWeeks = 65059;   // "%d 주 마다 %s에 반복"
constexpr UINT RecurMonthly = 65060;       // "%d 개월 마다  %d일에 반복"
constexpr UINT RecurMonthNth = 65061;      // "%d 개월 마다  %s %s에 반복"
constexpr UINT RecurFrom = 65064;          // "%02d-%02d-%02d 부터"
constexpr UINT RecurUntil = 65065;         // "%02d-%02d-%02d 까지"
constexpr UINT RecurYearly = 65066;        // "%d 년 마다 %s %d 일에 반복"
constexpr UINT RecurYearNth = 65067;       // "%d 년 마다 %s 의 %s %s 에 반복"
constexpr UINT MonthBase = 65069;          // + month: 65070 "1월" ... 65081 "12월"
// The calendar's captions: CaptionBase + view type (day, week, month, year).
constexpr UINT CaptionBase = 65082;
constexpr UINT CaptionDay = 65082;         // "%d.%d.%d %s [음 %d.%d]"
constexpr UINT CaptionWeek = 65083;        // "%d.%d.%d ~ %d  %s"
constexpr UINT CaptionMonth = 65084;       // "%d년 %d월"
constexpr UINT CaptionYear = 65085;        // "%d년 달력"
constexpr UINT Week = 65086;               // "주"
constexpr UINT ContactBirthday = 65088;    // "[생일] %s"
constexpr UINT ContactAnniversary = 65089; // "[기념일] %s"
constexpr UINT CaptionWeekAcross = 65101;  // week caption across two months
// ZuCompLib's own texts (ZuLoadString(id, ZuModule::CompLib)).
constexpr UINT BoardEdit = 102;            // "편집", the view board's edit button
constexpr UINT BoardAttendees = 6595;      // "참석자:"
constexpr UINT TaskNeedsDue = 65082;       // "작업의 기간을 먼저 설정하십시요!"
constexpr UINT NotInCategoryList = 65109;  // " (not in Category List)"
constexpr UINT ImportanceBase = 65214;     // + index: "높음", "보통", "낮음"
constexpr UINT Public = 65217;             // "공개"
constexpr UINT Private = 65218;            // "비공개"
constexpr UINT BoardNoGroup = 65221;       // "그룹 없음"
constexpr UINT BoardGroup = 65285;         // "그룹:"
constexpr UINT BoardStart = 65286;         // "시작일:"
constexpr UINT BoardEnd = 65287;           // "종료일:"
constexpr UINT BoardImportance = 65288;    // "중요도:"
constexpr UINT BoardProgress = 65289;      // "진행율:"
constexpr UINT BoardAlarm = 65290;         // "알람:"
constexpr UINT BoardSensitivity = 65291;   // "공개여부:"
constexpr UINT BoardRecurrence = 65292;    // "반복:"
constexpr UINT BoardLocation = 65293;      // "장소:"
constexpr UINT BoardKind = 65294;          // "일정종류:"
constexpr UINT KindNormal = 65295;         // "일반"
constexpr UINT KindAllDay = 65296;         // "종일"
constexpr UINT KindAnniversary = 65297;    // "기념일"
constexpr UINT BoardBusy = 65298;          // "일정형태:"
constexpr UINT BusyBase = 65299;           // + status: "약속없음", "미정", "약속있음", "부재중"
constexpr UINT BoardNoAttendees = 65303;   // "참석자 없음"
constexpr UINT NoSubject = 65304;          // "내용 없음"
constexpr UINT BoardAnniversary = 65305;   // "기념일:"
} // namespace ZuStr
