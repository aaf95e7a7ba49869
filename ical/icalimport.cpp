#include "icalimport.h"

#include "icalimport_p.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

using namespace zuical;

namespace {

Ticks localNow()
{
    const FILETIME utc = ZuUtcNow();
    FILETIME local{};
    FileTimeToLocalFileTime(&utc, &local);
    return ticksOf(local);
}

}  // namespace

ZuIcalImportResult ZuImportIcal(const std::string& text, const ZuIcalImportOptions& options)
{
    ZuIcalImportResult result;
    // Everything is read and planned before the store is touched.
    Collected collected;
    ImportPlan plan;
    {
        const LibicalMuted quiet;
        if (!collectComponents(text, collected, result.error))
            return result;
        plan = planImport(collected, localNow());
    }
    result.components = collected.components;
    result.notes = std::move(collected.notes);
    result.skippedItems = std::move(collected.skipped);
    result.skippedItems.insert(result.skippedItems.end(), plan.skipped.begin(), plan.skipped.end());
    result.skipped = static_cast<int>(result.skippedItems.size());
    result.correctedItems = std::move(collected.corrected);
    for (const PlannedItem& item : plan.items) {
        const std::string& note = item.task ? item.todo.recurrence.note : item.event.recurrence.note;
        if (!note.empty())
            result.correctedItems.push_back({item.uid, item.summary, note});
    }
    result.taskAlarmsLeft = plan.taskAlarmsLeft;
    result.ok = writePlan(plan, options, result);
    return result;
}

namespace {

// The whole file, up to one byte past the limit (which the import then refuses).
bool readAll(FILE* file, std::string& text)
{
    char buffer[65536];
    size_t n;
    while (text.size() <= kMaxImportBytes && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    return !std::ferror(file);
}

}  // namespace

int runImportCommand(char** args, int count, FILE* out, FILE* err)
{
    if (count != 1 || args[0][0] == '\0' || (args[0][0] == '-' && args[0][1] != '\0')) {
        std::fprintf(err, "usage: zupim import FILE.ics   (\"-\" reads standard input)\n");
        return 2;
    }
    const char* path = args[0];
    const bool useStdin = !std::strcmp(path, "-");
    FILE* file = useStdin ? stdin : std::fopen(path, "rb");
    if (!file) {
        std::fprintf(err, "zupim import: cannot open %s: %s\n", path, std::strerror(errno));
        return 1;
    }
    std::string text;
    struct stat info{};
    const bool tooLarge = ::fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode)
        && static_cast<unsigned long long>(info.st_size) > kMaxImportBytes;
    if (!tooLarge && S_ISREG(info.st_mode))
        text.reserve(static_cast<size_t>(info.st_size) + 1);  // one block, not a doubling string
    const bool read = tooLarge || readAll(file, text);
    if (!useStdin)
        std::fclose(file);
    const char* name = useStdin ? "standard input" : path;
    if (!read) {
        std::fprintf(err, "zupim import: cannot read %s\n", name);
        return 1;
    }
    if (tooLarge || text.size() > kMaxImportBytes) {
        std::fprintf(err, "zupim import: %s: the file is larger than %zu MiB, the most an import reads\n", name,
            kMaxImportBytes >> 20);
        std::fprintf(err, "zupim import: nothing was imported\n");
        return 1;
    }
    ZuIcalImportOptions options;
    options.progress = err;
    const ZuIcalImportResult r = ZuImportIcal(text, options);
    if (!r.ok) {
        std::fprintf(err, "zupim import: %s: %s\n", name, r.error.c_str());
        std::fprintf(err, "zupim import: nothing was imported\n");
        return 1;
    }
    for (const ZuIcalReportLine& line : r.expandedItems)
        std::fprintf(out, "expanded  %s \"%s\": %s\n", line.uid.empty() ? "(no UID)" : line.uid.c_str(), line.summary.c_str(), line.text.c_str());
    for (const ZuIcalReportLine& line : r.skippedItems)
        std::fprintf(out, "skipped   %s \"%s\": %s\n", line.uid.empty() ? "(no UID)" : line.uid.c_str(), line.summary.c_str(), line.text.c_str());
    for (const ZuIcalReportLine& line : r.correctedItems)
        std::fprintf(out, "corrected %s \"%s\": %s\n", line.uid.empty() ? "(no UID)" : line.uid.c_str(), line.summary.c_str(), line.text.c_str());
    for (const std::string& note : r.notes)
        std::fprintf(out, "note: %s\n", note.c_str());
    std::fprintf(out, "imported %d, expanded %d, skipped %d of %d items: %d appointments and %d tasks written",
        r.imported, r.expanded, r.skipped, r.components, r.appointments, r.tasks);
    if (r.categoriesAdded)
        std::fprintf(out, ", %d new categor%s", r.categoriesAdded, r.categoriesAdded == 1 ? "y" : "ies");
    std::fprintf(out, "\n");
    if (r.taskAlarmsLeft)
        std::fprintf(out, "note: the alarms of %d tasks were not imported (task reminders are set in the task editor)\n", r.taskAlarmsLeft);
    return 0;
}
