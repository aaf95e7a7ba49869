#include "frameplaceholders.h"

#include "calendaritem.h"
#include "messagebox.h"
#include "recordlayouts.h"

void ZuShowEditorPlaceholder(QWidget* parent, int kind, const SYSTEMTIME& date, bool anniversary)
{
    const wchar_t* what = kind == ZU_SEL_TASKS ? L"새 할일" : anniversary ? L"새 기념일" : L"새 일정";
    CString when;
    if (date.wYear == 0)
        when = L"날짜 없음 (오늘 12:00)";
    else
        when.Format(L"%04d-%02d-%02d %02d:%02d", date.wYear, date.wMonth, date.wDay, date.wHour, date.wMinute);
    CString text;
    text.Format(L"%s\n%s\n\n편집 화면은 아직 준비 중입니다.", what, when.str().c_str());
    MessageBox(parent, text.str().c_str(), kind == ZU_SEL_TASKS ? L"할일" : L"일정", MB_OK | MB_ICONINFORMATION);
}

void ZuShowRecordCardPlaceholder(QWidget* parent, int selector, const CalendarItem* item)
{
    const wchar_t* caption = selector == ZU_SEL_TASKS ? L"할일" : L"일정";
    if (!item) {
        MessageBox(parent, L"이 기록은 더 이상 없습니다.", caption, MB_OK | MB_ICONINFORMATION);
        return;
    }
    CString text;
    text.Format(L"%s\n%s\n\n(읽기 전용: 보기 화면은 아직 준비 중입니다.)", item->subject.str().c_str(), item->timeText.str().c_str());
    MessageBox(parent, text.str().c_str(), caption, MB_OK | MB_ICONINFORMATION);
}
