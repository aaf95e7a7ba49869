// recurtexts_p.h - the recurrence wizard's ids and the texts it shows that are not in the string
// table: the labels of its pages, its warnings and its answers to bad input. Every literal text of
// the wizard is here, in one place.
#pragma once

#include "cstring.h"
#include "wintypes.h"

namespace zurecur {

// Dialogs and pages.
constexpr UINT IDD_RECUR_KIND = 143;
constexpr UINT IDD_RECUR_RANGE = 144;
constexpr UINT IDD_RECUR_DIALOG = 145;
constexpr UINT IDD_RECUR_DAILY = 152;
constexpr UINT IDD_RECUR_YEARLY = 153;
constexpr UINT IDD_RECUR_WEEKLY = 154;
constexpr UINT IDD_RECUR_MONTHLY = 155;

// Controls.
constexpr UINT IDC_CANCEL = 2;
constexpr UINT IDC_BACK = 1005;
constexpr UINT IDC_NEXT = 1030;
constexpr UINT IDC_FINISH = 1031;
constexpr UINT IDC_DAY_SELECT = 1003;
constexpr UINT IDC_START_DATE = 1019;
constexpr UINT IDC_END_DATE = 1021;
constexpr UINT IDC_KIND_LIST = 1023;
constexpr UINT IDC_COUNT_LIST = 1025;
constexpr UINT IDC_DESCRIPTION = 1051;
constexpr UINT IDC_INTERVAL = 1052;
constexpr UINT IDC_INSTANCE = 1056;
constexpr UINT IDC_WEEKDAY = 1057;
constexpr UINT IDC_BY_DAY = 1058;
constexpr UINT IDC_BY_WEEKDAY = 1059;
constexpr UINT IDC_MONTH_BY_WEEKDAY = 1060;
constexpr UINT IDC_DAY_OF_MONTH = 1062;
constexpr UINT IDC_MONTH_BY_DAY = 1064;
constexpr UINT IDC_EVERY_N_DAYS = 1066;
constexpr UINT IDC_EVERY_WEEKDAY = 1067;
constexpr UINT IDC_NO_END = 1070;
constexpr UINT IDC_END_BY_DATE = 1071;
constexpr UINT IDC_END_BY_COUNT = 1072;

// Bitmaps of the four buttons (53 x 19; the second of a pair is the pressed look).
constexpr UINT IDB_BACK_DIMMED = 178;
constexpr UINT IDB_BACK_PRESSED = 179;
constexpr UINT IDB_BACK = 180;
constexpr UINT IDB_CANCEL_PRESSED = 181;
constexpr UINT IDB_CANCEL = 182;
constexpr UINT IDB_NEXT_PRESSED = 183;
constexpr UINT IDB_NEXT = 184;
constexpr UINT IDB_FINISH_PRESSED = 185;
constexpr UINT IDB_FINISH = 186;

// String table ids.
constexpr UINT IDS_INSTANCE_FIRST = 65009;   // "첫번째" ... 65013 "마지막"
constexpr UINT IDS_SUNDAY = 65039;           // "일요일" ... 65045 "토요일"
constexpr UINT IDS_DAILY = 65051;            // "일간 반복" ... 65054 "년간 반복"
constexpr UINT IDS_EVERY_WEEKDAY = 65055;
constexpr UINT IDS_EVERY_DAY = 65056;
constexpr UINT IDS_EVERY_N_DAYS = 65057;
constexpr UINT IDS_EVERY_WEEK = 65058;
constexpr UINT IDS_EVERY_N_WEEKS = 65059;
constexpr UINT IDS_MONTHLY_BY_DAY = 65060;
constexpr UINT IDS_MONTHLY_BY_WEEKDAY = 65061;
constexpr UINT IDS_YEARLY_BY_DAY = 65066;
constexpr UINT IDS_YEARLY_BY_WEEKDAY = 65067;
constexpr UINT IDS_JANUARY = 65070;          // "1월" ... 65081 "12월"

// Labels.
inline constexpr const wchar_t* kKindLabel = L"반복 타입:";
inline constexpr const wchar_t* kEveryNDays = L"일 마다 반복";
inline constexpr const wchar_t* kEveryWeekday = L"Every weekday";
inline constexpr const wchar_t* kEveryNWeeks = L"주 마다";
inline constexpr const wchar_t* kOnTheDays = L"에 반복";
inline constexpr const wchar_t* kEveryNMonths = L"개월 마다";
inline constexpr const wchar_t* kOnDay = L"일에 반복";
inline constexpr const wchar_t* kEveryNYears = L"년 마다";
inline constexpr const wchar_t* kDayFormat = L"%d일";
inline constexpr const wchar_t* kWeekdayLetters[7] = {L"일", L"월", L"화", L"수", L"목", L"금", L"토"};
inline constexpr const wchar_t* kRangeTitle = L"반복 시작일 및 종료일을 선택해 주세요 !!";
inline constexpr const wchar_t* kPatternStart = L"패턴 시작일 :";
inline constexpr const wchar_t* kPatternEnd = L"패턴 종료일 선택";
inline constexpr const wchar_t* kNoEnd = L"무한반복";
inline constexpr const wchar_t* kEndOnDate = L"일에 종료";
inline constexpr const wchar_t* kEndAfterCount = L"번 반복후 종료";
inline constexpr const wchar_t* kDialogCaption = L"Dialog";

// Warnings. The last two answer bad input: an interval or a count that is not a number from 1
// would turn into 0, which the pattern cannot keep.
inline constexpr const wchar_t* kOneDayAtLeast = L"적어도 하나의 요일은 선택되어야 합니다!";
inline constexpr const wchar_t* kBadInterval = L"반복 간격을 1 이상의 숫자로 입력하십시오.";
inline constexpr const wchar_t* kBadCount = L"반복 횟수를 1 이상의 숫자로 입력하십시오.";

// The interval lists of the four detail pages, the range page's count list and its default.
inline constexpr const wchar_t* kDailyIntervals[] = {L"1", L"2", L"3", L"4", L"5", L"10", L"20"};
inline constexpr const wchar_t* kMonthlyIntervals[] = {L"1", L"2", L"3", L"4", L"6", L"12", L"18"};
inline constexpr const wchar_t* kYearlyIntervals[] = {L"1", L"2", L"3", L"4", L"5"};
inline constexpr const wchar_t* kCounts[] = {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"20"};
constexpr long kDefaultCount = 10;
// The largest interval the pattern keeps.
constexpr long kMaxInterval = 999;

} // namespace zurecur
