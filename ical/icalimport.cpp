#include "icalimport.h"

#include "icalimport_p.h"

#include <cerrno>
#include <cstring>

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
    if (!collectComponents(text, collected, result.error))
        return result;
    result.components = collected.components;
    ImportPlan plan = planImport(collected, localNow());
    result.skipped = static_cast<int>(plan.skipped.size());
    result.skippedItems = std::move(plan.skipped);
    result.taskAlarmsLeft = plan.taskAlarmsLeft;
    result.ok = writePlan(plan, options, result);
    return result;
}

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
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    const bool readError = std::ferror(file);
    if (!useStdin)
        std::fclose(file);
    if (readError) {
        std::fprintf(err, "zupim import: cannot read %s\n", path);
        return 1;
    }
    ZuIcalImportOptions options;
    options.progress = err;
    const ZuIcalImportResult r = ZuImportIcal(text, options);
    if (!r.ok) {
        std::fprintf(err, "zupim import: %s: %s\n", useStdin ? "standard input" : path, r.error.c_str());
        std::fprintf(err, "zupim import: nothing was imported\n");
        return 1;
    }
    for (const ZuIcalReportLine& line : r.expandedItems)
        std::fprintf(out, "expanded  %s \"%s\": %s\n", line.uid.empty() ? "(no UID)" : line.uid.c_str(), line.summary.c_str(), line.text.c_str());
    for (const ZuIcalReportLine& line : r.skippedItems)
        std::fprintf(out, "skipped   %s \"%s\": %s\n", line.uid.empty() ? "(no UID)" : line.uid.c_str(), line.summary.c_str(), line.text.c_str());
    std::fprintf(out, "imported %d, expanded %d, skipped %d of %d items: %d appointments and %d tasks written",
        r.imported, r.expanded, r.skipped, r.components, r.appointments, r.tasks);
    if (r.categoriesAdded)
        std::fprintf(out, ", %d new categor%s", r.categoriesAdded, r.categoriesAdded == 1 ? "y" : "ies");
    std::fprintf(out, "\n");
    std::fprintf(out, "records: %d created, %d updated, %d unchanged", r.created, r.updated, r.unchanged);
    if (r.removed)
        std::fprintf(out, ", %d removed (no longer in the file)", r.removed);
    std::fprintf(out, "\n");
    if (r.taskAlarmsLeft)
        std::fprintf(out, "note: the alarms of %d tasks were not imported (task reminders are set in the task editor)\n", r.taskAlarmsLeft);
    return 0;
}
