#include "frameplaceholders.h"

#include "calendaritem.h"
#include "messagebox.h"
#include "recordlayouts.h"

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
