#include "icalimport.h"

#include "icalimport_p.h"

#include <algorithm>
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
    // Everything is read and planned before the store is touched. Each item is planned alone,
    // as soon as it can be, so that only the plans (not the parsed file) are held at once; its
    // order in the file puts its records and report lines back in place.
    Collected collected;
    ImportPlan plan;
    std::vector<std::pair<size_t, PlannedItem>> items;
    std::vector<std::pair<size_t, ZuIcalReportLine>> skipped;
    const Ticks now = localNow();
    const auto planOf = [&](const FoundComponent& f, std::map<std::string, std::vector<Ticks>>* changedStarts) {
        Collected one;
        one.found.push_back(f);
        if (changedStarts)
            one.changedStarts.swap(*changedStarts);
        ImportPlan piece = planImport(one, now);
        if (changedStarts)
            one.changedStarts.swap(*changedStarts);
        for (PlannedItem& item : piece.items)
            items.emplace_back(f.order, std::move(item));
        for (ZuIcalReportLine& line : piece.skipped)
            skipped.emplace_back(f.order, std::move(line));
        plan.categories.merge(piece.categories);
        plan.records += piece.records;
        plan.taskAlarmsLeft += piece.taskAlarmsLeft;
    };
    {
        const LibicalMuted quiet;
        if (!collectComponents(text, collected, [&](const FoundComponent& f) { planOf(f, nullptr); }, result.error))
            return result;
        for (const FoundComponent& f : collected.found)
            planOf(f, &collected.changedStarts);
    }
    collected.held.clear();
    collected.roots.clear();
    const auto byOrder = [](const auto& a, const auto& b) { return a.first < b.first; };
    std::stable_sort(items.begin(), items.end(), byOrder);
    skipped.insert(skipped.end(), std::make_move_iterator(collected.skipped.begin()), std::make_move_iterator(collected.skipped.end()));
    std::stable_sort(skipped.begin(), skipped.end(), byOrder);
    plan.items.reserve(items.size());
    for (auto& entry : items)
        plan.items.push_back(std::move(entry.second));
    std::vector<std::pair<size_t, PlannedItem>>().swap(items);
    for (auto& entry : skipped)
        plan.skipped.push_back(std::move(entry.second));

    result.components = collected.components;
    result.notes = std::move(collected.notes);
    result.skipped = static_cast<int>(plan.skipped.size());
    result.skippedItems = std::move(plan.skipped);
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
    // One block, not a doubling string: the memory held stays the size read. (A pipe or a
    // device gets the limit's worth of address space, of which only what is read is used.)
    text.reserve(!tooLarge && S_ISREG(info.st_mode) ? static_cast<size_t>(info.st_size) + 1 : kMaxImportBytes + 65536 + 1);
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
    std::fprintf(out, "records: %d created, %d updated, %d unchanged", r.created, r.updated, r.unchanged);
    if (r.removed)
        std::fprintf(out, ", %d removed (no longer in the file)", r.removed);
    std::fprintf(out, "\n");
    if (r.taskAlarmsLeft)
        std::fprintf(out, "note: the alarms of %d tasks were not imported (task reminders are set in the task editor)\n", r.taskAlarmsLeft);
    return 0;
}
