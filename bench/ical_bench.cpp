// ical_bench - `zupim import` of a calendar of 10,500 events: 10,000 single ones (timed in UTC,
// in a named zone and floating, a tenth all-day, with categories, reminders and attendees) and
// 500 recurring ones of every kind the suite's recurrence holds (daily, weekdays, weekly, monthly
// by day and by weekday, yearly by date and by weekday, lunar yearly; no end, COUNT or UNTIL),
// each mapped onto one recurring appointment. The file is made with libical once; every iteration
// imports it into a fresh data folder, and the second benchmark imports it again into the store
// it was imported into. The target is under 2 seconds, the second no slower. Run by hand:
//   build/bin/ical_bench
#include "cedbdatabase.h"
#include "icalimport.h"
#include "pimstore.h"

#include <benchmark/benchmark.h>
#include <libical/ical.h>

#include <QTemporaryDir>

#include <cstdlib>
#include <optional>
#include <random>
#include <string>

namespace {

icaltimetype at(int y, int m, int d, int h, int mi, bool date = false)
{
    icaltimetype t = date ? icaltime_null_date() : icaltime_null_time();
    t.year = y;
    t.month = m;
    t.day = d;
    if (!date) {
        t.hour = h;
        t.minute = mi;
    }
    return t;
}

void zoned(icalproperty* p, const char* tzid)
{
    icalproperty_add_parameter(p, icalparameter_new_tzid(tzid));
}

// The recurrence of the i-th recurring event, with a start that lies on its rule.
struct Recurring {
    icaltimetype start;
    const char* rule;
};

Recurring recurringOf(int i)
{
    const int year = 2025 + i % 3;
    switch (i % 10) {
    case 0: return {at(year, 3, 2 + i % 20, 9, 0), "FREQ=DAILY;INTERVAL=2"};
    case 1: return {at(2026, 3, 2, 8, 30), "FREQ=DAILY;BYDAY=MO,TU,WE,TH,FR;UNTIL=20271231T235959"};  // a Monday
    case 2: return {at(2026, 3, 4, 10, 0), "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;COUNT=40"};            // a Wednesday
    case 3: return {at(2026, 3, 5, 14, 0), "FREQ=WEEKLY;BYDAY=TH"};
    case 4: return {at(year, 1 + i % 12, 1 + i % 28, 18, 0), "FREQ=MONTHLY;COUNT=24"};
    case 5: return {at(2026, 3, 10, 15, 0), "FREQ=MONTHLY;BYDAY=2TU"};
    case 6: return {at(2026, 3, 27, 17, 0), "FREQ=MONTHLY;BYDAY=-1FR;UNTIL=20281231T235959"};
    case 7: return {at(year, 1 + i % 12, 1 + i % 28, 0, 0, true), "FREQ=YEARLY"};
    case 8: return {at(2026, 11, 26, 12, 0), "FREQ=YEARLY;BYMONTH=11;BYDAY=4TH;COUNT=10"};
    default: return {at(2026, 9, 25, 0, 0, true), "RSCALE=DANGI;FREQ=YEARLY;BYMONTH=8;BYMONTHDAY=15"};
    }
}

std::string makeCalendar()
{
    std::mt19937 rng(20261210);
    icalcomponent* cal = icalcomponent_new_vcalendar();
    icalcomponent_add_property(cal, icalproperty_new_version("2.0"));
    icalcomponent_add_property(cal, icalproperty_new_prodid("-//ZuPims//ical_bench//KO"));
    const char* categories[] = {"업무", "가족", "여행", "운동", "공부"};
    for (int i = 0; i < 10000; ++i) {
        icalcomponent* ev = icalcomponent_new_vevent();
        const std::string uid = "single-" + std::to_string(i) + "@bench";
        icalcomponent_add_property(ev, icalproperty_new_uid(uid.c_str()));
        icalcomponent_add_property(ev, icalproperty_new_summary("팀 회의 약속"));
        icalcomponent_add_property(ev, icalproperty_new_location("본사 3층 회의실"));
        const int y = 2024 + int(rng() % 5), m = 1 + int(rng() % 12), d = 1 + int(rng() % 28), h = 8 + int(rng() % 10);
        if (i % 10 == 0) {
            icalcomponent_add_property(ev, icalproperty_new_dtstart(at(y, m, d, 0, 0, true)));
        } else if (i % 3 == 0) {
            icaltimetype t = at(y, m, d, h, 0);
            t.zone = icaltimezone_get_utc_timezone();
            icalcomponent_add_property(ev, icalproperty_new_dtstart(t));
            icalcomponent_add_property(ev, icalproperty_new_duration(icaldurationtype_from_int(3600)));
        } else {
            icalproperty* start = icalproperty_new_dtstart(at(y, m, d, h, 30));
            icalproperty* end = icalproperty_new_dtend(at(y, m, d, h + 1, 30));
            if (i % 3 == 1) {
                zoned(start, "Asia/Seoul");
                zoned(end, "Asia/Seoul");
            }
            icalcomponent_add_property(ev, start);
            icalcomponent_add_property(ev, end);
        }
        if (i % 4 == 0)
            icalcomponent_add_property(ev, icalproperty_new_categories(categories[rng() % 5]));
        if (i % 5 == 0) {
            icalcomponent* alarm = icalcomponent_new_valarm();
            icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
            icalcomponent_add_property(alarm, icalproperty_new_description("회의"));
            icaltriggertype trigger{icaltime_null_time(), icaldurationtype_from_int(-900)};
            icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
            icalcomponent_add_component(ev, alarm);
        }
        if (i % 7 == 0) {
            icalproperty* who = icalproperty_new_attendee("mailto:kim@example.com");
            icalproperty_add_parameter(who, icalparameter_new_cn("김철수"));
            icalcomponent_add_property(ev, who);
        }
        icalcomponent_add_component(cal, ev);
    }
    for (int i = 0; i < 500; ++i) {
        icalcomponent* ev = icalcomponent_new_vevent();
        const std::string uid = "recurring-" + std::to_string(i) + "@bench";
        const Recurring r = recurringOf(i);
        icalcomponent_add_property(ev, icalproperty_new_uid(uid.c_str()));
        icalcomponent_add_property(ev, icalproperty_new_summary("반복 일정"));
        icalcomponent_add_property(ev, icalproperty_new_dtstart(r.start));
        if (!r.start.is_date)
            icalcomponent_add_property(ev, icalproperty_new_duration(icaldurationtype_from_int(3600)));
        icalcomponent_add_property(ev, icalproperty_new_rrule(icalrecurrencetype_from_string(r.rule)));
        icalcomponent_add_component(cal, ev);
    }
    char* text = icalcomponent_as_ical_string_r(cal);
    std::string out(text);
    icalmemory_free_buffer(text);
    icalcomponent_free(cal);
    return out;
}

void BM_Import10500Events(benchmark::State& state)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    const std::string text = makeCalendar();
    std::optional<QTemporaryDir> home;
    for (auto _ : state) {
        state.PauseTiming();
        home.reset();
        home.emplace();
        ::setenv("ZUPIMS_HOME", home->path().toLocal8Bit().constData(), 1);
        {
            CCeDBDatabase db;  // the store is made before the clock runs
            GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS);
        }
        state.ResumeTiming();
        const ZuIcalImportResult r = ZuImportIcal(text);
        state.PauseTiming();
        if (!r.ok || r.imported != 10500 || r.appointments != 10500) {
            for (const ZuIcalReportLine& line : r.expandedItems)
                std::fprintf(stderr, "%s: %s\n", line.uid.c_str(), line.text.c_str());
            state.SkipWithError((r.error.empty() ? "not every event was mapped" : r.error).c_str());
            break;
        }
        state.ResumeTiming();
    }
    state.counters["events"] = 10500;
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_Import10500Events)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same file imported again into the store it was imported into: every record is found by its
// UID and holds what the file gives, so nothing is written. It must take no longer than the first
// import.
void BM_Reimport10500Events(benchmark::State& state)
{
    ::setenv("TZ", "Asia/Seoul", 1);
    const std::string text = makeCalendar();
    std::optional<QTemporaryDir> home;
    for (auto _ : state) {
        state.PauseTiming();
        home.reset();
        home.emplace();
        ::setenv("ZUPIMS_HOME", home->path().toLocal8Bit().constData(), 1);
        const ZuIcalImportResult first = ZuImportIcal(text);
        if (!first.ok || first.created != 10500) {
            state.SkipWithError((first.error.empty() ? "the first import did not create every record" : first.error).c_str());
            break;
        }
        state.ResumeTiming();
        const ZuIcalImportResult r = ZuImportIcal(text);
        state.PauseTiming();
        if (!r.ok || r.unchanged != 10500) {
            state.SkipWithError((r.error.empty() ? "importing again changed records" : r.error).c_str());
            break;
        }
        state.ResumeTiming();
    }
    state.counters["events"] = 10500;
}
BENCHMARK(BM_Reimport10500Events)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
