#include "stringtable.h"

#include <algorithm>
#include <array>

namespace {

struct Entry {
    UINT id;
    const wchar_t* text;
};

// Ascending by id (checked below), so lookups can bisect.
constexpr Entry kShared[] = {
    {65009, L"첫번째"},
    {65010, L"두번째"},
    {65011, L"세번째"},
    {65012, L"네번째"},
    {65013, L"마지막"},
    {65020, L"모든 그룹"},
    {65021, L"그룹 없음"},
    {65022, L"다중선택..."},
    {65032, L"첫째"},
    {65033, L"둘째"},
    {65034, L"셋째"},
    {65035, L"넷째"},
    {65036, L"다섯째"},
    {65037, L"여섯째"},
    {65038, L"마지막"},
    {65039, L"일요일"},
    {65040, L"월요일"},
    {65041, L"화요일"},
    {65042, L"수요일"},
    {65043, L"목요일"},
    {65044, L"금요일"},
    {65045, L"토요일"},
    {65046, L"그리고"},
    {65050, L"반복없음"},
    {65051, L"일간 반복"},
    {65052, L"주간 반복"},
    {65053, L"월간 반복"},
    {65054, L"년간 반복"},
    // The recurrence sentence: pattern part by kind, then the range texts.
    {65055, L"주중(월~금) 반복"},
    {65056, L"매일 반복"},
    {65057, L"%d 일 마다 반복"},
    {65058, L"매주 %s 에 반복"},
    {65059, L"%d 주 마다 %s에 반복"},
    {65060, L"%d 개월 마다  %d일에 반복"},
    {65061, L"%d 개월 마다  %s %s에 반복"},
    {65064, L"%02d-%02d-%02d 부터"},
    {65065, L"%02d-%02d-%02d 까지"},
    {65066, L"%d 년 마다 %s %d 일에 반복"},
    {65067, L"%d 년 마다 %s 의 %s %s 에 반복"},
    {65070, L"1월"},
    {65071, L"2월"},
    {65072, L"3월"},
    {65073, L"4월"},
    {65074, L"5월"},
    {65075, L"6월"},
    {65076, L"7월"},
    {65077, L"8월"},
    {65078, L"9월"},
    {65079, L"10월"},
    {65080, L"11월"},
    {65081, L"12월"},
    // The calendar's captions, 65082 + view type (day, week, month, year), and the week text.
    {65082, L"%d.%d.%d %s [음 %d.%d]"},
    {65083, L"%d.%d.%d ~ %d  %s"},
    {65084, L"%d년 %d월"},
    {65085, L"%d년 달력"},
    {65086, L"주"},
    // Contacts' days in the calendar.
    {65088, L"[생일] %s"},
    {65089, L"[기념일] %s"},
    {65101, L"%d.%d.%d ~ %d.%d  %s"},
};

// ZuCompLib's own: the record dialogs' texts and the view board's row labels.
constexpr Entry kCompLib[] = {
    {102, L"편집"},
    {6595, L"참석자:"},
    {65082, L"작업의 기간을 먼저 설정하십시요!"},
    {65109, L" (not in Category List)"},
    {65214, L"높음"},
    {65215, L"보통"},
    {65216, L"낮음"},
    {65217, L"공개"},
    {65218, L"비공개"},
    {65221, L"그룹 없음"},
    {65285, L"그룹:"},
    {65286, L"시작일:"},
    {65287, L"종료일:"},
    {65288, L"중요도:"},
    {65289, L"진행율:"},
    {65290, L"알람:"},
    {65291, L"공개여부:"},
    {65292, L"반복:"},
    {65293, L"장소:"},
    {65294, L"일정종류:"},
    {65295, L"일반"},
    {65296, L"종일"},
    {65297, L"기념일"},
    {65298, L"일정형태:"},
    {65299, L"약속없음"},
    {65300, L"미정"},
    {65301, L"약속있음"},
    {65302, L"부재중"},
    {65303, L"참석자 없음"},
    {65304, L"내용 없음"},
    {65305, L"기념일:"},
};

// The calendar's own: the month view's day popup.
constexpr Entry kCalendar[] = {
    {65098, L"당일 일정이 없습니다."},
    {65099, L"%d월 %d일 [음 %d.%d] %s"},
    {65100, L"%d월 %d일 [음 %d.%d] %s %s"},
};

// The contacts program's own: the card's labels (13 the address preview, 14-40 the rows).
constexpr Entry kContact[] = {
    {13, L"개인주소 미리보기"},
    {14, L"회사"},
    {15, L"직함"},
    {16, L"부서"},
    {17, L"회사전화"},
    {18, L"회사팩스"},
    {19, L"핸드폰"},
    {20, L"이메일"},
    {21, L"집전화"},
    {22, L"집팩스"},
    {23, L"회사주소"},
    {24, L"홈페이지"},
    {25, L"사무실주소"},
    {26, L"집주소"},
    {27, L"분류그룹"},
    {28, L"호출기"},
    {29, L"차량전화"},
    {30, L"회사전화2"},
    {31, L"집전화2"},
    {32, L"해석안됨"},
    {33, L"이메일2"},
    {34, L"이메일3"},
    {35, L"비서전화"},
    {36, L"생일"},
    {37, L"기념일"},
    {38, L"배우자"},
    {39, L"자녀"},
    {40, L"다른주소"},
};

template <size_t N>
constexpr bool ascending(const Entry (&table)[N])
{
    for (size_t i = 1; i < N; ++i)
        if (table[i - 1].id >= table[i].id)
            return false;
    return true;
}
static_assert(ascending(kShared), "string table ids must ascend");
static_assert(ascending(kCompLib), "string table ids must ascend");
static_assert(ascending(kCalendar), "string table ids must ascend");
static_assert(ascending(kContact), "string table ids must ascend");

template <size_t N>
const wchar_t* find(const Entry (&table)[N], UINT id)
{
    const Entry* end = table + N;
    const Entry* e = std::lower_bound(table, end, id, [](const Entry& a, UINT v) { return a.id < v; });
    return (e != end && e->id == id) ? e->text : nullptr;
}

constexpr auto kSharedIds = [] {
    std::array<UINT, std::size(kShared)> ids{};
    for (size_t i = 0; i < ids.size(); ++i)
        ids[i] = kShared[i].id;
    return ids;
}();

} // namespace

CString ZuLoadString(UINT id)
{
    const wchar_t* text = find(kShared, id);
    return text ? CString(text) : CString();
}

CString ZuLoadString(UINT id, ZuModule module)
{
    if (module == ZuModule::CompLib)
        if (const wchar_t* text = find(kCompLib, id))
            return CString(text);
    if (module == ZuModule::Calendar)
        if (const wchar_t* text = find(kCalendar, id))
            return CString(text);
    if (module == ZuModule::Contact)
        if (const wchar_t* text = find(kContact, id))
            return CString(text);
    return ZuLoadString(id);
}

std::span<const UINT> ZuStringIds()
{
    return kSharedIds;
}
