// The overlap placer of the hour grids: rows from times, groups of columns, the chain rule, and
// days that used to loop or divide by zero.
#include "testtime.h"
#include "widgets/overlapplacer.h"

#include "filetime.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kRow = 10;
const ULONGLONG kDay = ZuFileTimeToU64(zutest::wall(2026, 12, 10));

// Minutes from the day's midnight as local ticks.
ULONGLONG at(int minutes)
{
    return kDay + static_cast<ULONGLONG>(minutes) * ZU_TICKS_PER_MINUTE;
}

struct Span {
    int from, to, overlap;  // minutes from midnight
};

struct Want {
    int top, bottom, first, last, columns;
    bool operator==(const Want&) const = default;
};

void PrintTo(const Want& w, std::ostream* os)
{
    *os << "{" << w.top << "," << w.bottom << "," << w.first << "," << w.last << "," << w.columns << "}";
}

std::map<int, Want> place(COverlapPlacer& placer, const std::vector<Span>& spans)
{
    std::vector<OverlapEntry> entries;
    for (size_t i = 0; i < spans.size(); ++i)
        entries.push_back({static_cast<int>(i), spans[i].overlap, at(spans[i].from), at(spans[i].to)});
    std::map<int, Want> out;
    for (const OverlapPlacement& p : placer.Place(entries, kDay, kRow))
        out[p.item] = {p.top, p.bottom, p.firstColumn, p.lastColumn, p.columns};
    EXPECT_EQ(out.size(), spans.size());
    return out;
}

}  // namespace

TEST(OverlapPlacer, RowsAndColumns)
{
    struct Case {
        const char* name;
        std::vector<Span> spans;
        std::vector<Want> want;  // by entry
    };
    const std::vector<Case> cases = {
        {"09-10", {{540, 600, 1}}, {{90, 99, 0, 0, 1}}},
        {"08-09 is one row", {{480, 540, 1}}, {{80, 89, 0, 0, 1}}},
        {"within one hour is one row", {{490, 520, 1}}, {{80, 89, 0, 0, 1}}},
        {"07:30-08:15 rounds the end up", {{450, 495, 1}}, {{70, 89, 0, 0, 1}}},
        {"into the next day ends at 24", {{1380, 1500, 1}}, {{230, 239, 0, 0, 1}}},
        {"two overlapping take halves", {{540, 600, 2}, {540, 660, 2}}, {{90, 99, 0, 0, 2}, {90, 109, 1, 1, 2}}},
        {"apart after a pair: full width again", {{540, 600, 2}, {570, 630, 2}, {720, 780, 1}},
         {{90, 99, 0, 0, 2}, {90, 109, 1, 1, 2}, {120, 129, 0, 0, 1}}},
        // B has the largest overlap: it opens the group, A widens over the free columns, C and D
        // take the first free ones.
        {"largest overlap first",
         {{480, 600, 2}, {540, 720, 3}, {660, 720, 3}, {660, 720, 3}},
         {{80, 99, 1, 2, 3}, {90, 119, 0, 0, 3}, {110, 119, 1, 1, 3}, {110, 119, 2, 2, 3}}},
        // The fifth found no free column and was chosen again forever.
        {"five mutual share four columns",
         {{540, 600, 5}, {540, 600, 5}, {540, 600, 5}, {540, 600, 5}, {540, 600, 5}},
         {{90, 99, 0, 0, 4}, {90, 99, 1, 1, 4}, {90, 99, 2, 2, 4}, {90, 99, 3, 3, 4}, {90, 99, 3, 3, 4}}},
        // A layout without overlap counts gave no column at all (a division by zero).
        {"overlap 0 still takes a column", {{540, 600, 0}}, {{90, 99, 0, 0, 1}}},
    };
    COverlapPlacer placer;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::map<int, Want> got = place(placer, c.spans);
        for (size_t i = 0; i < c.want.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(got.count(static_cast<int>(i)));
            EXPECT_EQ(got.at(static_cast<int>(i)), c.want[i]);
        }
    }
}

// The masks lived in the document's layout and survived a placement: placing the same day again
// found every column taken.
TEST(OverlapPlacer, MasksAreClearedEachPlacement)
{
    COverlapPlacer placer;
    const std::vector<Span> pair = {{540, 600, 2}, {540, 660, 2}};
    const auto first = place(placer, pair);
    const auto again = place(placer, pair);
    EXPECT_EQ(first, again);
    EXPECT_EQ(placer.Mask(0), 1u);
    EXPECT_EQ(placer.Mask(1), 2u);
}

TEST(OverlapPlacer, ManyMutualStayInsideTheDay)
{
    std::vector<Span> spans(1000, Span{540, 600, 1000});
    COverlapPlacer placer;
    const auto got = place(placer, spans);
    for (const auto& [item, w] : got) {
        ASSERT_LE(w.columns, COverlapPlacer::kMaxColumns);
        ASSERT_LT(w.last, w.columns);
    }
    OverlapPlacement p;
    p.firstColumn = p.lastColumn = 3;
    p.columns = 4;
    EXPECT_EQ(p.Left(33), 24);
    EXPECT_EQ(p.Right(33), 31);  // inside the 33 pixels of the day
}
