// ical_import_fuzz.cpp - libFuzzer entry point for reading an iCalendar file for import.
//
// Runs the input through what `zupim import` does before it touches the store: decoding,
// parsing, collecting the components and planning each one (recurrence mapping and expansion
// included). Every input must end with either an error or a plan; a plan must hold what the
// writer relies on: expanded series with their starts ascending and within the cap, patterns
// the suite's recurrence accepts, reasons for everything skipped. A breach aborts, so libFuzzer
// keeps the input; a hang shows as libFuzzer's timeout.
#include "icalimport_p.h"

#include "recurrencepattern.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace zuical;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("TZ", "Asia/Seoul", 1);
    return 0;
}

namespace {

void checkRecurrence(const Recurrence& r, bool task)
{
    if (r.kind == Recurrence::Expand) {
        if (task || r.starts.empty() || r.starts.size() > kMaxExpanded)
            std::abort();
        for (size_t i = 1; i < r.starts.size(); ++i)
            if (r.starts[i - 1] >= r.starts[i])
                std::abort();
    }
    if (r.kind == Recurrence::Pattern || r.kind == Recurrence::Lunar) {
        CRecurrencePattern pattern(task ? 4u : 1u);
        if (!fillPattern(r, pattern))
            std::abort();
    }
}

void checkPlan(const ImportPlan& plan)
{
    for (const ZuIcalReportLine& line : plan.skipped)
        if (line.text.empty())
            std::abort();
    for (const PlannedItem& item : plan.items)
        checkRecurrence(item.task ? item.todo.recurrence : item.event.recurrence, item.task);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    // 2026-12-10 09:00 on the local clock.
    Ticks now = 0;
    if (!wallTicks(2026, 12, 10, 9, 0, 0, now))
        std::abort();
    Collected collected;
    std::string error;
    const auto plan = [&](const FoundComponent& f) {
        Collected one;
        one.found.push_back(f);
        checkPlan(planImport(one, now));
    };
    if (!collectComponents(text, collected, plan, error)) {
        if (error.empty())
            std::abort();
        return 0;
    }
    for (const auto& [order, line] : collected.skipped)
        if (line.text.empty())
            std::abort();
    checkPlan(planImport(collected, now));
    return 0;
}
