#include "icalimport_p.h"

#include <algorithm>
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

bool hasParseErrors(icalcomponent* c, std::string& error)
{
    if (icalproperty* p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY)) {
        error = std::string("libical reports: ") + icalproperty_get_xlicerror(p);
        return true;
    }
    for (icalcomponent* sub = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT); sub;
         sub = icalcomponent_get_next_component(c, ICAL_ANY_COMPONENT))
        if (hasParseErrors(sub, error))
            return true;
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

bool parseAll(const std::string& text, std::vector<ComponentPtr>& roots, std::string& error)
{
    if (const size_t nul = text.find('\0'); nul != std::string::npos) {
        error = "line " + std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1)
            + ": the file holds a NUL byte";
        return false;
    }
    std::unique_ptr<icalparser, ParserFree> parser(icalparser_new());
    int depth = 0;  // components begun and not ended
    int lastLine = 1;
    const bool read = forEachLine(text, parser.get(), [&](int number, const char* line) {
        lastLine = number;
        icalcomponent* done = icalparser_add_line(parser.get(), const_cast<char*>(line));
        const icalparser_state state = icalparser_get_state(parser.get());
        if (done) {
            roots.emplace_back(done);
            depth = 0;
        } else if (state == ICALPARSER_BEGIN_COMP) {
            ++depth;
        } else if (state == ICALPARSER_END_COMP) {
            --depth;
        } else if (state == ICALPARSER_ERROR) {
            error = cannotParse(number, line);
            return false;
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

FoundComponent foundOf(icalcomponent* root, icalcomponent* c)
{
    return {root, c, textOf(icalcomponent_get_uid(c)), textOf(icalcomponent_get_summary(c))};
}

}  // namespace

bool zuical::collectComponents(const std::string& text, Collected& out, std::string& error)
{
    if (!parseAll(text, out.roots, error))
        return false;
    std::map<std::string, std::vector<FoundComponent>> changes;  // UID -> VEVENTs with RECURRENCE-ID
    for (const ComponentPtr& root : out.roots) {
        const bool calendar = icalcomponent_isa(root.get()) == ICAL_VCALENDAR_COMPONENT;
        std::vector<icalcomponent*> children;
        if (calendar) {
            for (icalcomponent* c = icalcomponent_get_first_component(root.get(), ICAL_ANY_COMPONENT); c;
                 c = icalcomponent_get_next_component(root.get(), ICAL_ANY_COMPONENT))
                children.push_back(c);
        } else {
            children.push_back(root.get());
        }
        for (icalcomponent* c : children) {
            const icalcomponent_kind kind = icalcomponent_isa(c);
            if (kind == ICAL_VTIMEZONE_COMPONENT)
                continue;
            ++out.components;
            icalcomponent* zones = calendar ? root.get() : nullptr;
            if (kind == ICAL_VEVENT_COMPONENT && icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY))
                changes[textOf(icalcomponent_get_uid(c))].push_back(foundOf(zones, c));
            else
                out.found.push_back(foundOf(zones, c));
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
