#include "taskscreens.h"

#include "pimstore.h"
#include "recurrencepattern.h"
#include "widgets/makeeventsheet.h"
#include "widgets/modaldialog.h"
#include "widgets/recordeditor.h"
#include "widgets/tasksummary.h"

#include <QApplication>

namespace {

// "분기 보고서 작성": 12-07 to 12-11, 높음, 60 %, a reminder on 12-10 at 09:00, every Monday.
CEOID sampleTask()
{
    CTaskSummary s;
    s.m_strSubject = L"분기 보고서 작성";
    s.m_dtStart = COleDateTime(2026, 12, 7, 0, 0, 0);
    s.m_dtDue = COleDateTime(2026, 12, 11, 0, 0, 0);
    s.m_dtAlarmDate = COleDateTime(2026, 12, 10, 0, 0, 0);
    s.m_dtAlarmTime = COleDateTime(2000, 1, 1, 9, 0, 0);
    s.m_nImportance = 0;
    s.m_nProgress = 6;
    auto p = std::make_unique<CRecurrencePattern>(ZU_SEL_TASKS);
    p->put_RecurrenceType(1);
    p->put_Interval(1);
    p->put_DayOfWeekMask(0x02);  // Mondays
    FILETIME start{};
    COleDateTime(2026, 12, 7, 0, 0, 0).GetAsFileTime(start);
    p->put_PatternStartDate(start);
    p->put_NoEndDate(1);
    s.m_nOccurs = 2;
    s.SetRecurPatternPtr(std::move(p));
    CMakeEventSheet sheet(CString(L"일정"));
    CEBLOB note{}, categories{};
    CEOID oid = 0;
    sheet.SaveTaskEvent(oid, s, note, categories);
    return oid;
}

}  // namespace

void ZuShootTaskScreens(const QString& folder, const ZuScreenSaver& save)
{
    CEOID oid = sampleTask();
    ZuModalHandlerScope scope([&](QDialog& d) {
        if (!qobject_cast<CMakeEventSheet*>(&d))
            return;
        qApp->processEvents();
        save(d, folder, QStringLiteral("editor-task"), nullptr);
    });
    ZuEditTask(nullptr, CString(), oid);
}
