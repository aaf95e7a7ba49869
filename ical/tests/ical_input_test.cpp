// `zupim import` on hostile or broken files: each one ends quickly with a clear answer (an
// error naming the line or the limit, or the item skipped or corrected with its reason), the
// store changes only as that answer says, and nothing but the import's own lines is printed.
#include "calendarfixture.h"
#include "commandrun.h"
#include "icalimport.h"
#include "testhome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

using namespace calfix;

namespace {

std::string calendar(const std::vector<std::string>& lines)
{
    std::string text = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "END:VCALENDAR\r\n";
}

std::string event(const std::string& uid, const std::vector<std::string>& lines)
{
    std::string text = "BEGIN:VEVENT\r\nUID:" + uid + "\r\nSUMMARY:일정\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text + "END:VEVENT";
}

size_t appointments()
{
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    size_t n = 0;
    CCeDBRecord r;
    db.SeekFirst();
    while (db.ReadCurrRecord(&r))
        ++n;
    return n;
}

std::wstring firstSubject()
{
    CCeDBDatabase db;
    EXPECT_TRUE(GetDatabasePtr(&db, ZU_SEL_APPOINTMENTS));
    CCeDBRecord r;
    db.SeekFirst();
    std::wstring last;
    while (db.ReadCurrRecord(&r)) {
        const CCeDBProp* p = r.GetIdProp(ZUID_APT_SUBJECT);
        last = p ? p->GetString() : std::wstring();
    }
    return last;
}

// Runs `zupim import PATH` and keeps, besides its own output, whatever reached the process's
// standard error (libical writes there directly).
struct Outcome {
    CommandRun run;
    std::string stray;
};

Outcome import(const std::string& path)
{
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(::fileno(capture), STDERR_FILENO);
    Outcome o;
    o.run = ZuRunCommand(runImportCommand, {path});
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    o.stray = ZuReadAll(capture);
    return o;
}

struct InputCase {
    const char* name;
    std::string text;  // the file (unless path is given)
    const char* path = nullptr;
    int status = 0;
    std::vector<std::string> out;  // fragments of what is printed on standard output ...
    std::vector<std::string> err;  // ... and on the command's error stream
    int added = 0;                 // appointments the import adds to the one already stored
};

std::string nested(int depth)
{
    std::string text = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < depth; ++i)
        text += "BEGIN:X-BOX\r\n";
    for (int i = 0; i < depth; ++i)
        text += "END:X-BOX\r\n";
    return text + "END:VCALENDAR\r\n";
}

class IcalInput : public ::testing::Test {
protected:
    void SetUp() override { ZuSetFixedClock(utcOf(wall(2026, 12, 10, 9))); }
    void TearDown() override { ZuSetClock({}); }
    ZuTestHome home;
};

TEST_F(IcalInput, BadInputGetsAClearAnswerAndChangesOnlyWhatItSays)
{
    const std::string zone = "BEGIN:VTIMEZONE\r\nTZID:Bad/Zone\r\nBEGIN:STANDARD\r\nDTSTART:19700101T000000\r\n"
                             "TZOFFSETFROM:+0900\r\nTZOFFSETTO:+0900\r\nRRULE:FREQ=SECONDLY\r\nEND:STANDARD\r\nEND:VTIMEZONE";
    const std::string hugeSummary(10 * 1000 * 1000, 'x');
    const std::vector<InputCase> cases = {
        {.name = "80,000 nested components", .text = nested(80000), .status = 1,
            .err = {"line 17: components nest deeper than 16 levels", "nothing was imported"}},
        {.name = "rules libical would search for ever",
            .text = calendar({event("sec", {"DTSTART:20261210T090000", "RRULE:FREQ=SECONDLY;BYDAY=-6FR"}),
                event("min", {"DTSTART:20261210T090000", "RRULE:FREQ=MINUTELY;BYDAY=-6FR"}),
                event("hour", {"DTSTART:20261210T090000", "RRULE:FREQ=HOURLY;BYDAY=-6FR"}),
                event("day", {"DTSTART:20261210T090000", "RRULE:FREQ=DAILY;BYDAY=-6FR"}),
                event("month", {"DTSTART:20261210T090000", "RRULE:FREQ=MONTHLY;BYDAY=-6FR"}),
                event("april31", {"DTSTART:20261210T090000", "RRULE:FREQ=MONTHLY;BYMONTH=4;BYMONTHDAY=31"}),
                event("fifth1st", {"DTSTART:20261210T090000", "RRULE:FREQ=MONTHLY;BYMONTHDAY=1;BYDAY=5FR"}),
                event("unreached", {"DTSTART:20261210T090000", "RRULE:FREQ=MONTHLY;INTERVAL=12;BYMONTH=5"}),
                event("setpos", {"DTSTART:20261210T090000", "RRULE:FREQ=MONTHLY;BYDAY=MO;BYSETPOS=40"}),
                event("weekstep", {"DTSTART:20261210T090000", "RRULE:FREQ=DAILY;INTERVAL=7;BYDAY=MO"}),
                event("hourly", {"DTSTART:20261210T090000", "RRULE:FREQ=HOURLY;INTERVAL=5;COUNT=3"})}),
            .out = {"skipped   sec \"일정\": it repeats every second", "skipped   min \"일정\": it repeats every minute",
                "skipped   hour \"일정\": it repeats hourly on chosen days",
                "skipped   day \"일정\": its BYDAY numbers weekdays outside FREQ=MONTHLY or YEARLY",
                "skipped   month \"일정\": its BYDAY asks for a weekday no month has five of",
                "skipped   april31 \"일정\": no day of any month it reaches passes",
                "skipped   fifth1st \"일정\": no day of any month it reaches passes",
                "skipped   unreached \"일정\": no day of any month it reaches passes",
                "skipped   setpos \"일정\": its BYSETPOS asks for more occurrences than one period holds",
                "skipped   weekstep \"일정\": no day of any month it reaches passes",
                "expanded  hourly \"일정\": 3 occurrences", "skipped 10 of 11 items"},
            .added = 3},
        {.name = "a VTIMEZONE whose rule repeats every second",
            .text = calendar({zone, event("zoned", {"DTSTART;TZID=Bad/Zone:20261210T090000"}),
                event("plain", {"DTSTART:20261210T090000"})}),
            .out = {"skipped   zoned \"일정\": DTSTART names an unknown time zone \"Bad/Zone\"",
                "note: the VTIMEZONE \"Bad/Zone\" is left out: its STANDARD rule repeats more often than daily"},
            .added = 1},
        {.name = "an endless file", .path = "/dev/zero", .status = 1, .err = {"/dev/zero: the file is larger than 256 MiB"}},
        {.name = "a COUNT past the calendar's last day",
            .text = calendar({event("million", {"DTSTART:20261210T090000", "RRULE:FREQ=DAILY;COUNT=1000000"})}),
            .out = {"corrected million \"일정\": its COUNT of 1000000 reaches past 4500-12-31, the calendar's last day: "
                    "capped at 903632 occurrences",
                "imported 1,"},
            .added = 1},
        {.name = "a 10 MB SUMMARY",
            .text = calendar({"BEGIN:VEVENT", "UID:huge", "SUMMARY:" + hugeSummary, "DTSTART:20261210T090000", "END:VEVENT"}),
            .out = {"skipped   huge \"" + std::string(60, 'x') + "...\": its SUMMARY is 10000000 characters long; a text holds "
                    "at most 8388608 (16 MiB)"}},
        {.name = "days and times that do not exist",
            .text = calendar({event("feb30", {"DTSTART:20260230T090000"}), event("hour25", {"DTSTART:20261210T250000"}),
                event("exdate", {"DTSTART:20261210T090000", "RRULE:FREQ=DAILY;COUNT=3", "EXDATE:20261211T090000,20261399T090000"})}),
            .out = {"skipped   feb30 \"일정\": line 7: DTSTART 20260230T090000 is not a valid date/time",
                "skipped   hour25 \"일정\": line 12: DTSTART 20261210T250000 is not a valid date/time",
                "skipped   exdate \"일정\": line 19: EXDATE 20261399T090000 is not a valid date/time"}},
        {.name = "an end before the start",
            .text = calendar({event("backwards", {"DTSTART:20261210T090000", "DTEND:20261210T080000"}),
                event("negative", {"DTSTART:20261210T090000", "DURATION:-PT1H"})}),
            .out = {"corrected backwards \"일정\": its DTEND lies before its DTSTART: imported as lasting no time",
                "corrected negative \"일정\": its DURATION is negative: imported as lasting no time"},
            .added = 2},
        {.name = "a UTF-8 byte-order mark (and a blank line)",
            .text = "\xEF\xBB\xBF" + calendar({"", event("bom", {"DTSTART:20261210T090000"})}),
            .out = {"imported 1,"}, .added = 1},
        {.name = "CP949 text",
            .text = calendar({"BEGIN:VEVENT", "UID:euc", "SUMMARY:\xC8\xB8\xC0\xC7", "DTSTART:20261210T090000", "END:VEVENT"}),
            .out = {"imported 1,", "note: the file is not UTF-8: it was read as CP949 (EUC-KR)"}, .added = 1},
        {.name = "text that is neither UTF-8 nor CP949",
            .text = calendar({"BEGIN:VEVENT", "UID:junk", "SUMMARY:\xFF\xFE", "DTSTART:20261210T090000", "END:VEVENT"}),
            .status = 1, .err = {"line 6: the text is neither UTF-8 nor CP949 (EUC-KR)"}},
        {.name = "an END before its BEGIN, which libical complains of itself",
            .text = "BEGIN:VCALENDAR\r\nEND:VEVENT\r\n" + event("x", {"DTSTART:20261210T090000"}) + "\r\nEND:VCALENDAR\r\n",
            .status = 1, .err = {"line 2: END:VEVENT where END:VCALENDAR was expected"}},
        {.name = "an END with no BEGIN", .text = "END:VEVENT\r\n", .status = 1, .err = {"line 1: END:VEVENT has no BEGIN"}},
    };
    for (const InputCase& c : cases) {
        SCOPED_TRACE(c.name);
        ZuTestHome fresh;
        add(Appointment{.subject = L"있던 일정", .start = wall(2026, 12, 1, 9)});
        const std::string path = c.path ? c.path : fresh.file("input.ics");
        if (!c.path)
            std::ofstream(path, std::ios::binary) << c.text;
        const Outcome o = import(path);
        EXPECT_EQ(o.run.status, c.status) << o.run.err.substr(0, 400);
        for (const std::string& fragment : c.out)
            EXPECT_NE(o.run.out.find(fragment), std::string::npos) << fragment << "\nin:\n" << o.run.out.substr(0, 2000);
        for (const std::string& fragment : c.err)
            EXPECT_NE(o.run.err.find(fragment), std::string::npos) << fragment << "\nin:\n" << o.run.err.substr(0, 2000);
        EXPECT_LT(o.run.out.size() + o.run.err.size(), 4000u);  // no echo of a huge value
        EXPECT_EQ(o.run.err.find("completed successfully"), std::string::npos);
        if (c.status == 0) {
            EXPECT_EQ(o.run.err, "");
        }
        EXPECT_EQ(o.stray, "");
        EXPECT_EQ(appointments(), 1u + static_cast<size_t>(c.added));
    }
}

TEST_F(IcalInput, Cp949TextLandsAsHangul)
{
    ZuIcalImportResult r = ZuImportIcal(calendar({"BEGIN:VEVENT", "UID:euc", "SUMMARY:\xC7\xD1\xB1\xDB \xC8\xB8\xC0\xC7",
        "DTSTART:20261210T090000", "END:VEVENT"}));
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(firstSubject(), L"한글 회의");
    ASSERT_EQ(r.notes.size(), 1u);
}

TEST_F(IcalInput, AFileAboveTheLimitIsRefusedBeforeItIsRead)
{
    // A sparse file: its size is above the limit without the disk holding it.
    const std::string path = home.file("big.ics");
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, static_cast<off_t>(256) * 1024 * 1024 + 1), 0);
    ::close(fd);
    const Outcome o = import(path);
    EXPECT_EQ(o.run.status, 1);
    EXPECT_NE(o.run.err.find("big.ics: the file is larger than 256 MiB, the most an import reads"), std::string::npos)
        << o.run.err;
    EXPECT_EQ(appointments(), 0u);
}

}  // namespace
