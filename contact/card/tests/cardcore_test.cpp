// The contact's data record, its rules and SaveContact, read back from the store.
#include "cardtestdata.h"
#include "contactdata.h"
#include "contactfields.h"
#include "contactrules.h"
#include "itemloader.h"
#include "savecontact.h"
#include "stringtable.h"
#include "storefaults.h"
#include "testhome.h"
#include "testtime.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

std::string rowValue(const CContactData& d, UINT label)
{
    for (const ZuCardRow& row : ZuCardRows())
        if (row.labelId == label)
            return CardUtf8(ZuCardRowValue(d, row));
    return "(no row)";
}

std::vector<std::string> filledRows(const CContactData& d)
{
    std::vector<std::string> out;
    for (const ZuCardRow& row : ZuCardRows())
        if (!ZuCardRowValue(d, row).IsEmpty())
            out.push_back(CardUtf8(ZuCardRowLabel(row)) + "=" + CardUtf8(ZuCardRowValue(d, row)));
    return out;
}

TEST(CardRows, WhatTheCardShowsOfAContact)
{
    ZuTestHome home;
    CardTestCategory(L"A", 0);
    CardTestCategory(L"B", 3);
    const CEOID plain = CardTestContact({{0x4013, L"홍길동"}, {0x3A1C, L"010-1234-5678"}});
    CContactData d;
    ASSERT_TRUE(d.Load(plain));
    EXPECT_EQ(filledRows(d), (std::vector<std::string>{"핸드폰=010-1234-5678"}));
    ASSERT_EQ(ZuCardHeaderLines(d).size(), 1u);
    EXPECT_EQ(CardUtf8(ZuCardHeaderLines(d)[0]), "010-1234-5678");

    // Lunar 2004-08-15 is 2004-09-28; the stored value is local midnight of the lunar day.
    CContactData full;
    full.SetDate(0x4001, QDate(2004, 8, 15));
    full.SetLunar(0x4001, true);
    full.SetDate(0x4003, QDate(1999, 5, 1));
    full.SetString(0x3A1D, L"012-345");
    const std::pair<WORD, const wchar_t*> address[] = {
        {0x4043, L"100-011"}, {0x4042, L"서울시"}, {0x4041, L"중구"}, {0x4040, L"태평로"}, {0x4044, L"대한민국"}};
    for (const auto& [id, text] : address)
        full.SetString(id, text);
    full.SetString(0x404A, L"역삼로");  // the other address: street only
    full.SetCategories(CardTestBitmap({0, 3}));
    const struct {
        UINT label;
        const char* value;
    } rows[] = {
        {36, "2004-09-28([음력] 08-15)"},
        {37, "1999-05-01"},
        {32, "012-345"},
        {26, "(100-011) 서울시 중구 태평로 "},
        {40, "역삼로 "},
        {23, ""},
        {27, "A, B"},
    };
    for (const auto& r : rows)
        EXPECT_EQ(rowValue(full, r.label), r.value) << "label " << r.label;
    EXPECT_EQ(CardUtf8(ZuLoadString(32, ZuModule::Contact)), "해석안됨");

    // A lunar day the calendar cannot place still shows its month and day.
    CContactData far;
    far.SetDate(0x4001, QDate(2100, 3, 4));
    far.SetLunar(0x4001, true);
    EXPECT_EQ(rowValue(far, 36), "([음력] 03-04)");
}

TEST(EditorNameRules, ComposeAndSplit)
{
    const struct {
        std::vector<std::pair<WORD, const wchar_t*>> parts;
        const char* composed;
    } compose[] = {
        {{{0x3A11, L"홍"}, {0x3A06, L"길동"}, {0x4024, L"X"}}, "홍 길동 "},
        {{{0x4023, L"Dr."}, {0x3A11, L"Kim"}, {0x3A05, L"Jr."}}, "Dr. Kim Jr. "},
        {{{0x4013, L"회사 대표"}}, "회사 대표"},
        {{}, "이름없음"},
    };
    for (const auto& c : compose) {
        CContactData d;
        for (const auto& [id, text] : c.parts)
            d.SetString(id, text);
        EXPECT_EQ(CardUtf8(ZuComposeDisplayName(d)), c.composed);
    }
    CContactData longName;
    longName.SetString(0x3A06, CString(L'가', 300));
    EXPECT_EQ(ZuComposeDisplayName(longName).GetLength(), ZU_DISPLAY_NAME_MAX);

    const struct {
        const wchar_t* last;
        const wchar_t* first;
        const wchar_t* typed;
        const char* wantLast;
        const char* wantFirst;
    } split[] = {
        {L"", L"", L" 김 철수 ", "김", "철수"},
        {L"김", L"", L"철수", "김", "철수"},              // no blank: the last name stays
        {L"", L"길동", L"홍길동", "홍", "길동"},          // the first name found in the text
        {L"남궁", L"민수", L"남궁 민수", "남궁", "민수"},
        {L"이", L"", L"a b c", "a", "b c"},
    };
    for (const auto& s : split) {
        CContactData d;
        d.SetString(0x3A11, s.last);
        d.SetString(0x3A06, s.first);
        ZuSplitDisplayName(s.typed, d);
        EXPECT_EQ(CardUtf8(d.GetString(0x3A11)), s.wantLast) << CardUtf8(s.typed);
        EXPECT_EQ(CardUtf8(d.GetString(0x3A06)), s.wantFirst) << CardUtf8(s.typed);
    }
}

TEST(EditorNameRules, SavedNameFollowsTheEdit)
{
    ZuTestHome home;
    const CEOID oid = CardTestContact({{0x4013, L"옛이름"}, {0x3A11, L"박"}});
    CContactData d;
    ASSERT_TRUE(d.Load(oid));
    // Without an edit of the name row the stored display name stays.
    ASSERT_EQ(SaveContact(oid, d), oid);
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x4013)), "옛이름");

    ZuSplitDisplayName(L"김 철수", d);
    d.SetNameEdited(true);
    ASSERT_EQ(SaveContact(oid, d), oid);
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A11)), "김");
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A06)), "철수");
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x4013)), "김 철수");

    // A new contact gets its composed name.
    CContactData fresh;
    fresh.SetString(0x3A06, L"영희");
    const CEOID created = SaveContact(0, fresh);
    ASSERT_NE(created, 0u);
    ASSERT_TRUE(CardTestRead(created, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x4013)), "영희");
}

TEST(SavePreservesUnedited, UpdateInPlaceKeepsWhatTheEditorDoesNotKnow)
{
    ZuTestHome home;
    CardTestCategory(L"A", 0, 1);
    CardTestCategory(L"B", 1, 0);
    const std::vector<BYTE> a = CardTestBitmap({0});
    const CEBLOB aBlob = ZuBlobOf(a);
    const CEOID oid = CardTestContact({{0x4013, L"홍 길동"}, {0x3A08, L"02-111"}, {0x3A1C, L"010-1"}, {0x3A16, L"회사"},
                                          {0x4024, L"M"}, {0x3A05, L"Jr."}, {0x3A2F, L"02-999"}},
        {CCeDBProp(static_cast<LONG>(0x3A1C001F), 0x0050), CCeDBProp(L"keep me", 0x7777), CCeDBProp(aBlob, 0x0016),
            CCeDBProp(static_cast<short>(0), 0x8201)});
    CContactData d;
    ASSERT_TRUE(d.Load(oid));
    d.SetString(0x3A16, L"새회사");
    d.SetString(0x3A08, L"");
    d.SetCategories(CardTestBitmap({1}));
    ASSERT_EQ(SaveContact(oid, d), oid);

    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(ZuRecordInt(r, 0x0050), 0x3A1C001F);
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x7777)), "keep me");
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A16)), "새회사");
    for (const auto& [id, text] : {std::pair<WORD, const char*>(0x4024, "M"), std::pair<WORD, const char*>(0x3A05, "Jr."),
             std::pair<WORD, const char*>(0x3A2F, "02-999")})
        EXPECT_EQ(CardUtf8(ZuRecordString(r, id)), text) << std::hex << id;
    EXPECT_EQ(r.GetIdProp(0x3A08), nullptr);
    EXPECT_EQ(r.GetIdProp(0x8201), nullptr) << "a lunar flag at 0 goes";
    EXPECT_EQ(ZuRecordBytes(r, 0x0016), CardTestBitmap({1}));
    EXPECT_EQ(CardTestContactCount(0), 0);
    EXPECT_EQ(CardTestContactCount(1), 1);
    EXPECT_EQ(CardTestContactCount(), 1u);

    // Emptying the number the preferred number names takes the preferred number with it.
    d.SetString(0x3A1C, L"");
    ASSERT_EQ(SaveContact(oid, d), oid);
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(r.GetIdProp(0x0050), nullptr);
    EXPECT_EQ(r.GetIdProp(0x3A1C), nullptr);
    EXPECT_EQ(CardTestContactCount(1), 1) << "same bitmap again: the count stays";
}

TEST(SavePreservesUnedited, AContactDeletedMeanwhileIsWrittenAnew)
{
    ZuTestHome home;
    const CEOID oid = CardTestContact({{0x3A06, L"철수"}});
    CContactData d;
    ASSERT_TRUE(d.Load(oid));
    CCeDBDatabase db;
    ASSERT_TRUE(GetDatabasePtr(&db, ZU_SEL_CONTACTS) && db.DeleteRecord(oid));
    const CEOID again = SaveContact(oid, d);
    ASSERT_NE(again, 0u);
    EXPECT_NE(again, oid);
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(again, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A06)), "철수");
}

TEST(SaveFailureVisible, AFailedWriteChangesNothing)
{
    ZuTestHome home;
    CardTestCategory(L"A", 0, 1);
    CardTestCategory(L"B", 1, 0);
    const std::vector<BYTE> a = CardTestBitmap({0});
    const CEBLOB aBlob = ZuBlobOf(a);
    const CEOID oid = CardTestContact({{0x3A06, L"철수"}}, {CCeDBProp(aBlob, 0x0016)});
    CContactData d;
    ASSERT_TRUE(d.Load(oid));
    d.SetString(0x3A06, L"영수");
    d.SetCategories(CardTestBitmap({1}));
    ZuFailStoreWrites(2);
    EXPECT_EQ(SaveContact(oid, d), 0u);
    EXPECT_EQ(SaveContact(0, d), 0u) << "a new contact too";
    ZuFailStoreWrites(0);
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    EXPECT_EQ(CardUtf8(ZuRecordString(r, 0x3A06)), "철수");
    EXPECT_EQ(CardTestContactCount(0), 1);
    EXPECT_EQ(CardTestContactCount(1), 0);
    EXPECT_EQ(CardTestContactCount(), 1u);
}

TEST(BirthdayStorage, LocalMidnightInUtcAndTheCalendarShowsIt)
{
    ZuTestHome home;
    CContactData d;
    d.SetString(0x3A11, L"홍");
    d.SetString(0x3A06, L"길동");
    d.SetDate(0x4001, QDate(1990, 5, 17));
    d.SetDate(0x4003, QDate(2004, 8, 15));
    d.SetLunar(0x4003, true);
    const CEOID oid = SaveContact(0, d);
    ASSERT_NE(oid, 0u);
    CCeDBRecord r;
    ASSERT_TRUE(CardTestRead(oid, &r));
    FILETIME stored{};
    ASSERT_TRUE(ZuRecordFiletime(r, 0x4001, &stored));
    // Seoul midnight of 17 May 1990 is 15:00 UTC the day before.
    const FILETIME utc = zutest::wall(1990, 5, 16, 15);
    EXPECT_EQ(stored.dwLowDateTime, utc.dwLowDateTime);
    EXPECT_EQ(stored.dwHighDateTime, utc.dwHighDateTime);
    EXPECT_EQ(r.GetIdProp(0x8201), nullptr);
    EXPECT_EQ(ZuRecordInt(r, 0x8202), 1);

    const auto load = [](int y, int m, int d) {
        LoadRequest req;
        req.rangeStart = zutest::wall(y, m, d);
        req.rangeEnd = zutest::wall(y, m, d, 23, 59, 59);
        LoadResult result;
        CItemLoader loader;
        std::atomic<bool> abort{false};
        loader.Load(req, result, abort);
        std::vector<std::string> subjects;
        for (const CalendarItem& item : result.items)
            subjects.push_back(CardUtf8(item.subject));
        return subjects;
    };
    EXPECT_EQ(load(2026, 5, 17), (std::vector<std::string>{"[생일] 홍 길동"}));
    // Lunar 8/15 of 2026 is 25 September.
    EXPECT_EQ(load(2026, 9, 25), (std::vector<std::string>{"[기념일] 홍 길동"}));

    // Removing the birthday (지우기) takes its lunar flag along.
    d.SetLunar(0x4001, true);
    d.SetDate(0x4001, QDate());
    d.SetDate(0x4003, QDate());
    ASSERT_EQ(SaveContact(oid, d), oid);
    ASSERT_TRUE(CardTestRead(oid, &r));
    for (const WORD gone : {0x4001, 0x8201, 0x4003, 0x8202})
        EXPECT_EQ(r.GetIdProp(gone), nullptr) << std::hex << gone;
    EXPECT_TRUE(load(2026, 5, 17).empty());
}

TEST(ContactFields, TheEditorsTableAndItsGroups)
{
    const auto fields = ZuContactFieldInfos();
    ASSERT_EQ(fields.size(), 49u);
    EXPECT_EQ(CardUtf8(fields[0].GetName()), "표시이름");
    EXPECT_EQ(fields[14].GetPropID() >> 16, 0x0016u);   // the main page ends with the categories
    EXPECT_EQ(CardUtf8(fields[15].GetName()), "집주소"); // the detail page begins with the home address
    EXPECT_EQ(fields[47].GetPropID() >> 16, 0x4006u);
    EXPECT_EQ(fields[48].GetPropID() >> 16, 0x8200u);
    EXPECT_EQ(fields[16].GetParentInfo(), &fields[15]);
    EXPECT_EQ(fields[15].GetChildInfo(), &fields[16]);
    EXPECT_EQ(fields[21].GetParentInfo(), nullptr);      // 사무실위치 follows the group
    CContactData d;
    d.SetString(0x4048, L"04524");
    d.SetString(0x4045, L"세종대로 110");
    EXPECT_EQ(CardUtf8(ZuFieldText(d, fields[22])), "(04524) 세종대로 110 ");
}

}  // namespace
