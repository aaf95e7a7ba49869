#include "icalimport_p.h"

#include "cedbprop.h"

#include <QStringDecoder>

#include <algorithm>
#include <cctype>
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

// A component of the file (the index-th of its root, or the root itself) with its first date
// that does not exist.
struct BadDate {
    size_t root = 0;
    int child = 0;
    std::string reason;
};

bool parseAll(const std::string& text, std::vector<ComponentPtr>& roots, std::vector<BadDate>& badDates, std::string& error)
{
    if (const size_t nul = text.find('\0'); nul != std::string::npos) {
        error = "line " + std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1)
            + ": the file holds a NUL byte";
        return false;
    }
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    int depth = 0;  // components begun and not ended
    int lastLine = 1;
    bool calendarRoot = false;  // the root being read is a VCALENDAR: its items are one level down
    int child = -1;             // the item being read, counted in its root
    bool flagged = false;       // that item has its bad date already
    std::vector<std::string> open;  // the names of the components begun and not ended
    const auto nameOf = [](const char* s) {
        std::string name(s);
        while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
            name.pop_back();
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char ch) { return std::toupper(ch); });
        return name;
    };
    const bool read = forEachLine(text, parser.get(), [&](int number, const char* line) {
        lastLine = number;
        // An END must close the component begun last: libical would close another one.
        if (!strncasecmp(line, "END:", 4)) {
            const std::string name = nameOf(line + 4);
            if (open.empty() || open.back() != name) {
                error = "line " + std::to_string(number) + ": " + shortened(line)
                    + (open.empty() ? std::string(" has no BEGIN") : " where END:" + open.back() + " was expected");
                return false;
            }
            open.pop_back();
        } else if (!strncasecmp(line, "BEGIN:", 6)) {
            open.push_back(nameOf(line + 6));
        }
        icalcomponent* done = icalparser_add_line(parser.get(), const_cast<char*>(line));
        const icalparser_state state = icalparser_get_state(parser.get());
        const int itemDepth = calendarRoot ? 2 : 1;
        if (done) {
            roots.emplace_back(done);
            depth = 0;
            child = -1;
        } else if (state == ICALPARSER_BEGIN_COMP) {
            if (depth == 0)
                calendarRoot = !strncasecmp(line, "BEGIN:VCALENDAR", 15);
            if (++depth > kMaxDepth) {
                error = "line " + std::to_string(number) + ": components nest deeper than " + std::to_string(kMaxDepth)
                    + " levels, the most an import reads";
                return false;
            }
            if (depth == (calendarRoot ? 2 : 1)) {
                ++child;
                flagged = false;
            }
        } else if (state == ICALPARSER_END_COMP) {
            --depth;
        } else if (state == ICALPARSER_ERROR) {
            error = cannotParse(number, line);
            return false;
        } else if (depth == itemDepth && !flagged) {
            if (const char* name = dateProperty(line)) {
                if (std::string value = unrealDate(line); !value.empty()) {
                    badDates.push_back({roots.size(), calendarRoot ? child : 0,
                        "line " + std::to_string(number) + ": " + name + " " + shortened(value.c_str())
                            + " is not a valid date/time"});
                    flagged = true;
                }
            }
        }
        return true;
    });
    if (!read)
        return false;
    // The parser frees what it still holds; icalparser_clean() is not used, it can free twice.
    if (depth > 0) {
        error = "line " + std::to_string(lastLine) + ": the file ends inside a component (an END line is missing)";
        return false;
    }
    if (roots.empty()) {
        error = "line 1: no VCALENDAR in the file";
        return false;
    }
    for (const ComponentPtr& root : roots) {
        std::string reported;
        if (hasParseErrors(root.get(), reported)) {
            error = lineOfFault(text, reported);
            return false;
        }
    }
    return true;
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

}  // namespace

bool zuical::collectComponents(const std::string& raw, Collected& out, std::string& error)
{
    if (raw.size() > kMaxImportBytes) {
        error = "the file is larger than " + std::to_string(kMaxImportBytes >> 20) + " MiB, the most an import reads";
        return false;
    }
    std::string decoded;  // only when the text is not the file's bytes as they are
    bool changed = false;
    if (!decodedText(raw, decoded, changed, out.notes, error))
        return false;
    std::vector<BadDate> badDates;
    if (!parseAll(changed ? decoded : raw, out.roots, badDates, error))
        return false;
    std::string().swap(decoded);
    std::map<std::pair<size_t, int>, std::string> badDateOf;  // (root, item) -> the reason
    for (BadDate& b : badDates)
        badDateOf.emplace(std::make_pair(b.root, b.child), std::move(b.reason));
    std::map<std::string, std::vector<FoundComponent>> changes;  // UID -> VEVENTs with RECURRENCE-ID
    for (size_t r = 0; r < out.roots.size(); ++r) {
        icalcomponent* root = out.roots[r].get();
        const bool calendar = icalcomponent_isa(root) == ICAL_VCALENDAR_COMPONENT;
        std::vector<icalcomponent*> children;
        if (calendar) {
            for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
                 c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT))
                children.push_back(c);
        } else {
            children.push_back(root);
        }
        // The zones first: one that cannot be used leaves before any time is placed in it.
        for (icalcomponent*& c : children) {
            if (!calendar || icalcomponent_isa(c) != ICAL_VTIMEZONE_COMPONENT)
                continue;
            if (std::string problem = zoneProblem(c); !problem.empty()) {
                out.notes.push_back("the VTIMEZONE \"" + excerpt(tzidOf(c).c_str()) + "\" is left out: " + problem);
                icalcomponent_remove_component(root, c);
                icalcomponent_free(c);
                c = nullptr;
            }
        }
        for (size_t i = 0; i < children.size(); ++i) {
            icalcomponent* c = children[i];
            if (!c)
                continue;
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind == ICAL_VTIMEZONE_COMPONENT)
                continue;
            ++out.components;
            icalcomponent* zones = calendar ? root : nullptr;
            FoundComponent found = foundOf(zones, c);
            const auto bad = badDateOf.find({r, calendar ? static_cast<int>(i) : 0});
            std::string refused = bad != badDateOf.end() ? bad->second : tooLong(c);
            if (!refused.empty()) {
                out.skipped.push_back({found.uid, found.summary, refused});
                continue;
            }
            if (std::string mended = correction(zones, c); !mended.empty())
                out.corrected.push_back({found.uid, found.summary, mended});
            if (kind == ICAL_VEVENT_COMPONENT && icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
                changes[found.uid].push_back(std::move(found));
            else
                out.found.push_back(std::move(found));
        }
    }
    // Occurrences that a RECURRENCE-ID replaces come out of their series; the changed ones are
    // imported as single events after the series (those without one in the file too).
    std::set<std::string> masters;
    for (const FoundComponent& f : out.found)
        if (icalcomponent_isa(f.component) == ICAL_VEVENT_COMPONENT)
            masters.insert(f.uid);
    for (auto& [uid, list] : changes) {
        for (FoundComponent& f : list) {
            icalproperty* p = icalcomponent_get_first_property(f.component, ICAL_RECURRENCEID_PROPERTY);
            bool unknownZone = false;
            Ticks local = 0;
            const bool cancelled = icalcomponent_get_status(f.component) == ICAL_STATUS_CANCELLED;
            if (masters.count(uid)) {
                if (toLocal(zonedTime(f.root, p, icalproperty_get_recurrenceid(p), unknownZone), local))
                    out.changedStarts[uid].push_back(local);
                if (cancelled) {
                    --out.components;  // part of its series: nothing of its own
                    continue;
                }
            }
            f.isChange = true;
            out.found.push_back(std::move(f));
        }
    }
    return true;
}
