// Adding, hiding and deleting categories, the rows a list shows and the bitmap of a selection.
#include "categoryrecords.h"
#include "categorytestdata.h"
#include "pimstore.h"
#include "testhome.h"

#include <gtest/gtest.h>

#include <numeric>

namespace {

class CategoryRecords : public ::testing::Test {
protected:
    ZuTestHome home;
};

TEST_F(CategoryRecords, NewIndexIsTheSmallestFree)
{
    const struct {
        std::vector<int> stored;
        int expected;
    } cases[] = {{{0, 1, 3}, 2}, {{0, 1, 2}, 3}, {{}, 0}, {{1, 2}, 0}, {{3, 0, 1}, 2}};
    for (const auto& c : cases) {
        ZuTestHome fresh;
        for (const int i : c.stored)
            ZuTestStoreCategory(L"c" + std::to_wstring(i), i);
        const ZuCategoryAddResult r = ZuAddCategory(L"새 그룹");
        EXPECT_EQ(r.kind, ZuCategoryAddKind::Added);
        EXPECT_EQ(r.index, c.expected) << ::testing::PrintToString(c.stored);
        const ZuTestCategory stored = ZuTestReadCategory(c.expected);
        EXPECT_EQ(stored.name, L"새 그룹");
        EXPECT_EQ(stored.props, (std::vector<long long>{1, 0, 0, 0}));  // shown, contacts, appointments, tasks
    }
    // Negative or repeated stored indices are passed over.
    EXPECT_EQ(ZuSmallestFreeCategoryIndex({-4, -1, 0, 0, 1, 1, 3}), 2);
}

TEST_F(CategoryRecords, NoIndexLeftFailsTheAdd)
{
    std::vector<int> all(ZU_CATEGORY_INDEX_MAX + 1);
    std::iota(all.begin(), all.end(), 0);
    EXPECT_EQ(ZuSmallestFreeCategoryIndex(all), ZU_CATEGORY_INDEX_MAX + 1);
    {
        ZuStoreBatch batch;
        for (const int i : all)
            ZuTestStoreCategory(L"c" + std::to_wstring(i), i);
        ASSERT_TRUE(batch.Commit());
    }
    EXPECT_EQ(ZuAddCategory(L"하나 더").kind, ZuCategoryAddKind::Failed);
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
    EXPECT_EQ(db.GetRecordCount(), DWORD(ZU_CATEGORY_INDEX_MAX + 1));
}

TEST_F(CategoryRecords, AddingAHiddenNameShowsItAgain)
{
    ZuTestStoreCategory(L"업무", 0);
    ZuTestStoreCategory(L"가족", 4, /*shown*/ 0, 0, 0, /*tasks*/ 2);
    const ZuCategoryAddResult r = ZuAddCategory(L"  가족 ");
    EXPECT_EQ(r.kind, ZuCategoryAddKind::ShownAgain);
    EXPECT_EQ(r.index, 4);
    EXPECT_EQ(ZuTestReadCategory(4).props, (std::vector<long long>{1, 0, 0, 2}));
    // The same name once more changes nothing, and no second record appears.
    EXPECT_EQ(ZuAddCategory(L"가족").kind, ZuCategoryAddKind::AlreadyShown);
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
    EXPECT_EQ(db.GetRecordCount(), 2u);
}

TEST_F(CategoryRecords, DeletingAUsedCategoryHidesIt)
{
    ZuTestStoreCategory(L"업무", 0, 1, 0, 0, 1);  // one task
    ZuTestStoreCategory(L"여행", 1);              // unused
    ZuTestStoreCategory(L"친구", 2, 1, 3);         // three contacts
    EXPECT_EQ(ZuDeleteCategory(0), ZuCategoryDeleteKind::Hidden);
    EXPECT_EQ(ZuDeleteCategory(1), ZuCategoryDeleteKind::Deleted);
    EXPECT_EQ(ZuDeleteCategory(2), ZuCategoryDeleteKind::Hidden);
    EXPECT_EQ(ZuDeleteCategory(7), ZuCategoryDeleteKind::NotFound);
    EXPECT_EQ(ZuTestReadCategory(0).props, (std::vector<long long>{0, 0, 0, 1}));

    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
    EXPECT_EQ(db.GetRecordCount(), 2u);
    EXPECT_TRUE(ZuReadCategoryRows(&db, 0, false).empty());
    const std::vector<ZuCategoryRow> all = ZuReadCategoryRows(&db, 0, true);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_FALSE(all[0].shown);
    // The freed index is the next one given.
    EXPECT_EQ(ZuAddCategory(L"새").index, 1);
}

TEST_F(CategoryRecords, FilterBitsPickTheirCounter)
{
    ZuTestStoreCategory(L"contacts", 0, 1, 1, 0, 0);
    ZuTestStoreCategory(L"appointments", 1, 1, 0, 1, 0);
    ZuTestStoreCategory(L"tasks", 2, 1, 0, 0, 1);
    ZuTestStoreCategory(L"none", 3);
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
    const struct {
        int flags;
        std::vector<int> indices;
    } cases[] = {{0, {0, 1, 2, 3}}, {ZU_CATFILTER_APPOINTMENTS, {1}}, {ZU_CATFILTER_CONTACTS, {0}},
        {ZU_CATFILTER_TASKS, {2}}, {ZU_CATFILTER_APPOINTMENTS | ZU_CATFILTER_TASKS, {}}};
    for (const auto& c : cases) {
        std::vector<int> got;
        for (const ZuCategoryRow& r : ZuReadCategoryRows(&db, c.flags, false))
            got.push_back(r.index);
        EXPECT_EQ(got, c.indices) << "flags " << c.flags;
    }
}

TEST(CategoryBitmap, BlobOfTheChecks)
{
    const struct {
        std::vector<int> checked;
        int highest;
        std::vector<BYTE> bytes;
    } cases[] = {
        {{3, 9}, 9, {0x08, 0x02, 0x00, 0x00}},
        {{}, 9, {}},
        {{0}, 0, {0x01, 0, 0, 0}},
        {{31}, 31, {0, 0, 0, 0x80, 0, 0, 0, 0}},   // b = 4: a whole further word
        {{2}, 40, {0x04, 0, 0, 0, 0, 0, 0, 0}},    // sized by the highest listed, not the highest checked
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZuCategoryBitmap(c.checked, c.highest), c.bytes) << ::testing::PrintToString(c.checked);
}

TEST_F(CategoryRecords, NamesAreTrimmedAndCommasConverted)
{
    const struct {
        const wchar_t* text;
        const wchar_t* name;
    } cases[] = {{L"  회의 ", L"회의"}, {L"a,b,", L"a\xFF0C" L"b\xFF0C"}, {L" \t ", L""}, {L"", L""}};
    for (const auto& c : cases)
        EXPECT_EQ(ZuCleanCategoryName(c.text).str(), std::wstring(c.name));
    EXPECT_EQ(ZuCleanCategoryName(CString(L'가', 300)).GetLength(), ZU_CATEGORY_NAME_MAX);

    EXPECT_EQ(ZuAddCategory(L"   ").kind, ZuCategoryAddKind::Refused);
    const ZuCategoryAddResult r = ZuAddCategory(L" 집,회사 ");
    EXPECT_EQ(r.kind, ZuCategoryAddKind::Added);
    EXPECT_EQ(ZuTestReadCategory(r.index).name, L"집\xFF0C회사");
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CATEGORIES));
    EXPECT_EQ(db.GetRecordCount(), 1u);
}

}  // namespace
