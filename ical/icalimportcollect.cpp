#include "icalimport_p.h"

#include "cedbprop.h"

#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <functional>
#include <cstring>
#include <memory>
#include <strings.h>

using namespace zuical;

namespace {

struct ParserFree {
    void operator()(icalparser* p) const { icalparser_free(p); }
};

// Hands the text to libical's line reader one physical line (or one buffer of a long line) at a
// time, remembering on which line each piece starts, so that an error can name its line.
struct LineSource {
    const std::string* text = nullptr;
    size_t pos = 0;
    int nextLine = 1;   // the line the next piece starts on
    int pieceLine = 0;  // the line the piece handed out last starts on
};

char* nextPiece(char* buffer, size_t size, void* data)
{
    auto* source = static_cast<LineSource*>(data);
    const std::string& text = *source->text;
    if (source->pos >= text.size() || size < 2)
        return nullptr;
    // Like fgets: up to size - 1 bytes, ending after a newline. libical tells a full buffer (a
    // line that goes on) by its last byte.
    size_t n = 0;
    while (n + 1 < size && source->pos + n < text.size()) {
        if (text[source->pos + n++] == '\n')
            break;
    }
    std::memcpy(buffer, text.data() + source->pos, n);
    buffer[n] = 0;
    source->pieceLine = source->nextLine;
    if (buffer[n - 1] == '\n')
        ++source->nextLine;
    source->pos += n;
    return buffer;
}

std::string shortened(const char* line)
{
    std::string text(line);
    if (text.size() > 60)
        text = text.substr(0, 57) + "...";
    return text;
}

// Walks the tree with a list of its own, not by recursion: the depth is the file's to choose.
bool hasParseErrors(icalcomponent* root, std::string& error)
{
    std::vector<icalcomponent*> pending{root};
    while (!pending.empty()) {
        icalcomponent* c = pending.back();
        pending.pop_back();
        if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
            error = std::string("libical reports: ") + icalproperty_get_xlicerror(p);
            return true;
        }
        for (icalcomponent* sub = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); sub;
             sub = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
            pending.push_back(sub);
    }
    return false;
}

// Calls each(line number, content line) for the unfolded lines of the text, as libical's line
// reader gives them, until each returns false; false then.
template <typename Each>
bool forEachLine(const std::string& text, icalparser* parser, Each each)
{
    LineSource source;
    source.text = &text;
    icalparser_set_gen_data(parser, &source);
    // libical reads one piece ahead: when it returns a line, the piece it holds back begins the
    // next one.
    int lineStart = 1;
    for (;;) {
        char* line = icalparser_get_line(parser, nextPiece);
        const int number = lineStart;
        lineStart = source.pieceLine;
        if (!line)
            return true;
        const bool more = each(number, line);
        icalmemory_free_buffer(line);
        if (!more)
            return false;
    }
}

std::string cannotParse(int line, const char* text)
{
    return "line " + std::to_string(line) + ": cannot parse \"" + shortened(text) + "\"";
}

// libical marks some faults (a parameter it cannot read, say) inside the component instead of
// stopping: the first content line that does not parse on its own is the one.
std::string lineOfFault(const std::string& text, const std::string& reported)
{
    std::string error = reported;
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    forEachLine(text, parser.get(), [&](int number, const char* line) {
        if (!*line || !strncasecmp(line, "BEGIN:", 6) || !strncasecmp(line, "END:", 4))
            return true;
        icalproperty* p = icalproperty_new_from_string(line);
        if (p) {
            icalproperty_free(p);
            return true;
        }
        error = cannotParse(number, line);
        return false;
    });
    return error;
}

// ---- Dates that do not exist ----------------------------------------------------------------

bool digits(const char* s, int n)
{
    for (int i = 0; i < n; ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

int number(const char* s, int n)
{
    int v = 0;
    for (int i = 0; i < n; ++i)
        v = v * 10 + (s[i] - '0');
    return v;
}

// A DATE or DATE-TIME value, "YYYYMMDD" with "THHMMSS" and "Z" or not: false when it has that
// form and names no real day or time (libical takes 20260230 and T250000 as they stand).
bool realDateTime(const char* s, size_t n)
{
    if (n < 8 || !digits(s, 8))
        return true;  // another form: libical has judged it
    const int year = number(s, 4), month = number(s + 4, 2), day = number(s + 6, 2);
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year == 0 || month < 1 || month > 12 || day < 1 || day > lengths[month - 1] + (month == 2 && leap))
        return false;
    if (n >= 15 && s[8] == 'T' && digits(s + 9, 6))
        return number(s + 9, 2) <= 23 && number(s + 11, 2) <= 59 && number(s + 13, 2) <= 59;
    return true;
}

// The first value of a date property's line that is no real date/time ("" when all are): the
// values follow the first colon outside quotes, separated by commas; a PERIOD's start and end
// are both looked at.
std::string unrealDate(const char* line)
{
    const char* p = line;
    bool quoted = false;
    for (; *p && (quoted || *p != ':'); ++p)
        if (*p == '"')
            quoted = !quoted;
    if (!*p)
        return {};
    for (const char* item = p + 1;;) {
        const char* end = std::strchr(item, ',');
        const size_t n = end ? static_cast<size_t>(end - item) : std::strlen(item);
        const std::string value(item, n);
        const size_t slash = value.find('/');
        if (!realDateTime(value.c_str(), std::min(slash, value.size()))
            || (slash != std::string::npos && !realDateTime(value.c_str() + slash + 1, value.size() - slash - 1)))
            return value;
        if (!end)
            return {};
        item = end + 1;
    }
}

// The name of a content line that carries the dates of its component, or null.
const char* dateProperty(const char* line)
{
    static const char* const names[] = {"DTSTART", "DTEND", "DUE", "RECURRENCE-ID", "EXDATE", "RDATE", "COMPLETED"};
    for (const char* name : names) {
        const size_t n = std::strlen(name);
        if (!strncasecmp(line, name, n) && (line[n] == ':' || line[n] == ';'))
            return name;
    }
    return nullptr;
}

// ---- The text's encoding --------------------------------------------------------------------

// The offset of the first byte that does not belong to a well-formed UTF-8 sequence, or npos.
size_t badUtf8(const std::string& text)
{
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    const size_t n = text.size();
    for (size_t i = 0; i < n;) {
        const unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t length = 0;
        unsigned lowest = 0x80, highest = 0xBF;  // the second byte's range
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                lowest = 0xA0;
            else if (c == 0xED)
                highest = 0x9F;  // no surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                lowest = 0x90;
            else if (c == 0xF4)
                highest = 0x8F;
        } else {
            return i;
        }
        if (i + length > n || s[i + 1] < lowest || s[i + 1] > highest)
            return i;
        for (size_t k = 2; k < length; ++k)
            if (s[i + k] < 0x80 || s[i + k] > 0xBF)
                return i;
        i += length;
    }
    return std::string::npos;
}

// The text as UTF-8: as it is without its byte-order mark, or decoded from CP949.
bool decodedText(const std::string& raw, std::string& text, bool& changed, std::vector<std::string>& notes, std::string& error)
{
    const size_t bad = badUtf8(raw);
    if (bad == std::string::npos) {
        changed = raw.compare(0, 3, "\xEF\xBB\xBF") == 0;
        if (changed)
            text = raw.substr(3);
        return true;
    }
    changed = true;
    QStringDecoder cp949("CP949", QStringConverter::Flag::Stateless);
    if (cp949.isValid()) {
        const QString decoded = cp949.decode(QByteArrayView(raw.data(), static_cast<qsizetype>(raw.size())));
        if (!cp949.hasError()) {
            text = decoded.toStdString();
            notes.push_back("the file is not UTF-8: it was read as CP949 (EUC-KR)");
            return true;
        }
    }
    error = "line " + std::to_string(std::count(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(bad), '\n') + 1)
        + ": the text is neither UTF-8 nor CP949 (EUC-KR)";
    return false;
}

// ---- What the plan cannot take ----------------------------------------------------------------

// The most UTF-16 units a text of a record holds (a value of 16 MiB).
constexpr size_t kMaxTextUnits = CEDB_MAXVALUESIZE / 2;

size_t utf16Length(const char* s)
{
    size_t n = 0;
    for (const auto* p = reinterpret_cast<const unsigned char*>(s); *p; ++p) {
        if ((*p & 0xC0) != 0x80)
            ++n;
        if (*p >= 0xF0)
            ++n;  // a surrogate pair
    }
    return n;
}

// Why a text of the component is too long for its record, or "".
std::string tooLong(icalcomponent* c)
{
    const struct {
        icalproperty_kind kind;
        const char* name;
    } texts[] = {{ICAL_SUMMARY_PROPERTY, "SUMMARY"}, {ICAL_LOCATION_PROPERTY, "LOCATION"}, {ICAL_CATEGORIES_PROPERTY, "CATEGORIES"}};
    for (const auto& t : texts) {
        for (icalproperty* p = icalcomponent_get_first_property(c, t.kind); p; p = icalcomponent_get_next_property(c, t.kind)) {
            icalvalue* value = icalproperty_get_value(p);
            const char* text = value ? icalvalue_get_text(value) : nullptr;
            if (!text)
                continue;
            if (const size_t n = utf16Length(text); n > kMaxTextUnits)
                return std::string("its ") + t.name + " is " + std::to_string(n) + " characters long; a text holds at most "
                    + std::to_string(kMaxTextUnits) + " (16 MiB)";
        }
    }
    return {};
}

// What the import mends in a component and says so: an event's end before its start, a
// negative DURATION.
std::string correction(icalcomponent* root, icalcomponent* c)
{
    const icalcomponent_kind kind = icalcomponent_isa(c);
    if (kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTODO_COMPONENT)
        return {};
    if (icalproperty* d = icalcomponent_get_first_property(c, ICAL_DURATION_PROPERTY)) {
        if (icaldurationtype_as_int(icalproperty_get_duration(d)) < 0)
            return kind == ICAL_VEVENT_COMPONENT ? "its DURATION is negative: imported as lasting no time"
                                                 : "its DURATION is negative: imported as due at its start";
    }
    icalproperty* start = icalcomponent_get_first_property(c, ICAL_DTSTART_PROPERTY);
    icalproperty* end = kind == ICAL_VEVENT_COMPONENT ? icalcomponent_get_first_property(c, ICAL_DTEND_PROPERTY) : nullptr;
    if (!start || !end || !icalproperty_get_value(start) || !icalproperty_get_value(end))
        return {};
    bool unknownZone = false;
    Ticks from = 0, to = 0;
    if (!toLocal(zonedTime(root, start, icalproperty_get_dtstart(start), unknownZone), from) || unknownZone
        || !toLocal(zonedTime(root, end, icalproperty_get_dtend(end), unknownZone), to) || unknownZone)
        return {};
    return to < from ? "its DTEND lies before its DTSTART: imported as lasting no time" : std::string();
}

// Why a VTIMEZONE cannot be used: a rule of its observances that libical would expand without
// bound (a zone changes its offset a few times a year).
std::string zoneProblem(icalcomponent* zone)
{
    for (icalcomponent* part = icalcomponent_get_first_component(zone, ICAL_ANY_COMPONENT); part;
         part = icalcomponent_get_next_component(zone, ICAL_ANY_COMPONENT)) {
        icalproperty* startProp = icalcomponent_get_first_property(part, ICAL_DTSTART_PROPERTY);
        const icaltimetype start = startProp && icalproperty_get_value(startProp) ? icalproperty_get_dtstart(startProp) : icaltime_null_time();
        for (icalproperty* p = icalcomponent_get_first_property(part, ICAL_RRULE_PROPERTY); p;
             p = icalcomponent_get_next_property(part, ICAL_RRULE_PROPERTY)) {
            const icalrecurrencetype rule = icalproperty_get_rrule(p);
            const char* name = icalcomponent_kind_to_string(icalcomponent_isa(part));
            const std::string where = std::string("its ") + (name && *name ? name : "observance") + " rule ";
            if (rule.freq == ICAL_SECONDLY_RECURRENCE || rule.freq == ICAL_MINUTELY_RECURRENCE || rule.freq == ICAL_HOURLY_RECURRENCE)
                return where + "repeats more often than daily";
            if (std::string problem = ruleProblem(rule, start); !problem.empty())
                return where + "cannot be expanded: " + problem;
        }
    }
    return {};
}

std::string tzidOf(icalcomponent* zone)
{
    icalproperty* p = icalcomponent_get_first_property(zone, ICAL_TZID_PROPERTY);
    return p ? textOf(icalproperty_get_tzid(p)) : std::string();
}

// Report lines show a short excerpt of the summary.
std::string excerpt(const char* text)
{
    std::string s = textOf(text);
    constexpr size_t kMost = 60;
    if (s.size() <= kMost)
        return s;
    size_t cut = kMost;
    while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
        --cut;  // not inside a character
    return s.substr(0, cut) + "...";
}

FoundComponent foundOf(icalcomponent* root, icalcomponent* c)
{
    return {root, c, textOf(icalcomponent_get_uid(c)), excerpt(icalcomponent_get_summary(c))};
}

// ---- Reading item by item --------------------------------------------------------------------
//
// The lines of a VCALENDAR itself are not given to libical: each item in it (a VEVENT, a VTODO,
// a VTIMEZONE, ...) is parsed as a component of its own and handed on as soon as its END is
// read, so that a large file is never held as one tree. The zones stay, in a VCALENDAR of ours
// per calendar of the file, for the items that name them.

struct Reader {
    Reader(const std::string& text, Collected& out, const std::function<void(const FoundComponent&)>& ready, std::string& error)
        : text(text), out(out), ready(ready), error(error)
    {
    }
    const std::string& text;
    Collected& out;
    const std::function<void(const FoundComponent&)>& ready;
    std::string& error;

    std::map<std::string, std::vector<FoundComponent>> changes;  // UID -> VEVENTs with RECURRENCE-ID
    std::set<std::string> masters;                                // UIDs of the other VEVENTs
    size_t order = 0;

    bool finish(ComponentPtr item, icalcomponent* calendar, const std::string& badDate);
};

// Whether planning the item must wait for the rest of the file: a recurrence (its changed
// occurrences may follow) or a TZID that no VTIMEZONE read so far defines.
bool waitsForTheRest(icalcomponent* c, icalcomponent* calendar)
{
    if (icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY) || icalcomponent_get_first_property(c, ICAL_RDATE_PROPERTY))
        return true;
    for (icalproperty* p = icalcomponent_get_first_property(c, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(c, ICAL_ANY_PROPERTY)) {
        icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
        if (tzid && (!calendar || !icalcomponent_get_timezone(calendar, icalparameter_get_tzid(tzid))))
            return true;
    }
    return false;
}

bool Reader::finish(ComponentPtr item, icalcomponent* calendar, const std::string& badDate)
{
    std::string reported;
    if (hasParseErrors(item.get(), reported)) {
        error = lineOfFault(text, reported);
        return false;
    }
    const icalcomponent_kind kind = icalcomponent_isa(item.get());
    if (kind == ICAL_VTIMEZONE_COMPONENT) {
        if (!calendar)
            return true;  // a zone outside a calendar serves nothing
        if (std::string problem = zoneProblem(item.get()); !problem.empty()) {
            out.notes.push_back("the VTIMEZONE \"" + excerpt(tzidOf(item.get()).c_str()) + "\" is left out: " + problem);
            return true;
        }
        icalcomponent_add_component(calendar, item.release());
        return true;
    }
    ++out.components;
    FoundComponent found = foundOf(calendar, item.get());
    found.order = order++;
    std::string refused = badDate.empty() ? tooLong(item.get()) : badDate;
    if (!refused.empty()) {
        out.skipped.push_back({found.order, {found.uid, found.summary, refused}});
        return true;
    }
    if (std::string mended = correction(calendar, item.get()); !mended.empty())
        out.corrected.push_back({found.uid, found.summary, mended});
    if (kind == ICAL_VEVENT_COMPONENT && icalcomponent_get_first_property(item.get(), ICAL_RECURRENCEID_PROPERTY)) {
        changes[found.uid].push_back(std::move(found));
        out.held.push_back(std::move(item));
        return true;
    }
    if (kind == ICAL_VEVENT_COMPONENT)
        masters.insert(found.uid);
    if (waitsForTheRest(item.get(), calendar)) {
        out.found.push_back(std::move(found));
        out.held.push_back(std::move(item));
        return true;
    }
    ready(found);
    return true;  // the item goes with its handle
}

bool readItems(Reader& reader)
{
    const std::string& text = reader.text;
    std::string& error = reader.error;
    if (const size_t nul = text.find('\0'); nul != std::string::npos) {
        error = "line " + std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1)
            + ": the file holds a NUL byte";
        return false;
    }
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    std::vector<std::string> open;  // the names of the components begun and not ended
    icalcomponent* calendar = nullptr;  // ours, while a VCALENDAR of the file is read
    int lastLine = 1;
    std::string badDate;  // the first date of the item being read that does not exist
    bool roots = false;   // a calendar or a bare component was read
    const auto nameOf = [](const char* s) {
        std::string name(s);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::toupper(ch); });
        return name;
    };
    const bool read = forEachLine(text, parser.get(), [&](int number, const char* line) {
        lastLine = number;
        const size_t itemDepth = calendar ? 2 : 1;
        if (!strncasecmp(line, "BEGIN:", 6)) {
            open.push_back(nameOf(line + 6));
            if (open.size() > static_cast<size_t>(kMaxDepth)) {
                error = "line " + std::to_string(number) + ": components nest deeper than " + std::to_string(kMaxDepth)
                    + " levels, the most an import reads";
                return false;
            }
            if (open.size() == 1 && open.back() == "VCALENDAR") {
                reader.out.roots.emplace_back(icalcomponent_new(ICAL_VCALENDAR_COMPONENT));
                calendar = reader.out.roots.back().get();
                return true;
            }
            if (open.size() == itemDepth)
                badDate.clear();
        } else if (!strncasecmp(line, "END:", 4)) {
            // An END must close the component begun last: libical would close another one.
            const std::string name = nameOf(line + 4);
            if (open.empty() || open.back() != name) {
                error = "line " + std::to_string(number) + ": " + shortened(line)
                    + (open.empty() ? std::string(" has no BEGIN") : " where END:" + open.back() + " was expected");
                return false;
            }
            open.pop_back();
            if (open.empty() && calendar) {
                calendar = nullptr;
                roots = true;
                return true;
            }
        } else if (calendar && open.size() == 1) {
            // A property of the calendar itself (VERSION, PRODID, ...): checked, not kept.
            if (!*line)
                return true;
            icalproperty* p = icalproperty_new_from_string(line);
            if (!p) {
                error = cannotParse(number, line);
                return false;
            }
            icalproperty_free(p);
            return true;
        } else if (open.size() == itemDepth && badDate.empty()) {
            if (const char* name = dateProperty(line)) {
                if (std::string value = unrealDate(line); !value.empty())
                    badDate = "line " + std::to_string(number) + ": " + name + " " + shortened(value.c_str()) + " is not a valid date/time";
            }
        }
        icalcomponent* done = icalparser_add_line(parser.get(), const_cast<char*>(line));
        if (done) {
            roots = true;
            return reader.finish(ComponentPtr(done), calendar, badDate);
        }
        if (icalparser_get_state(parser.get()) == ICALPARSER_ERROR) {
            error = cannotParse(number, line);
            return false;
        }
        return true;
    });
    if (!read)
        return false;
    // The parser frees what it still holds; icalparser_clean() is not used, it can free twice.
    if (!open.empty()) {
        error = "line " + std::to_string(lastLine) + ": the file ends inside a component (an END line is missing)";
        return false;
    }
    if (!roots) {
        error = "line 1: no VCALENDAR in the file";
        return false;
    }
    return true;
}

}  // namespace

bool zuical::collectComponents(const std::string& raw, Collected& out, const std::function<void(const FoundComponent&)>& ready,
    std::string& error)
{
    if (raw.size() > kMaxImportBytes) {
        error = "the file is larger than " + std::to_string(kMaxImportBytes >> 20) + " MiB, the most an import reads";
        return false;
    }
    std::string decoded;  // only when the text is not the file's bytes as they are
    bool changed = false;
    if (!decodedText(raw, decoded, changed, out.notes, error))
        return false;
    Reader reader(changed ? decoded : raw, out, ready, error);
    if (!readItems(reader))
        return false;
    // Occurrences that a RECURRENCE-ID replaces come out of their series; the changed ones are
    // imported as single events after the series (those without one in the file too).
    for (auto& [uid, list] : reader.changes) {
        for (FoundComponent& f : list) {
            icalproperty* p = icalcomponent_get_first_property(f.component, ICAL_RECURRENCEID_PROPERTY);
            bool unknownZone = false;
            Ticks local = 0;
            const bool cancelled = icalcomponent_get_status(f.component) == ICAL_STATUS_CANCELLED;
            if (reader.masters.count(uid)) {
                if (toLocal(zonedTime(f.root, p, icalproperty_get_recurrenceid(p), unknownZone), local))
                    out.changedStarts[uid].push_back(local);
                if (cancelled) {
                    --out.components;  // part of its series: nothing of its own
                    continue;
                }
            }
            f.isChange = true;
            f.order = reader.order++;
            out.found.push_back(std::move(f));
        }
    }
    return true;
}
