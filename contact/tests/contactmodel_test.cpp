// The contacts list held in memory and the document's decisions: the number column, quick search
// (prefix, initial consonants, preedit), index buttons, the category filter and its registry
// values, and the recent list.
#include "contactfixture.h"

#include "../recentlist.h"
#include "../zucontactdoc.h"

#include "testhome.h"
#include "voregistry.h"
#include "registrykeys.h"

#include <gtest/gtest.h>

using namespace confix;

namespace {

QString names(const CZuContactDoc& doc)
{
    QStringList out;
    for (int i = 0; i < doc.RowCount(); ++i)
        out << doc.Row(i)->name;
    return out.join(QLatin1Char(','));
}

struct OpenDoc {
    CZuContactDoc doc;
    explicit OpenDoc(bool persistent = true) : doc(persistent)
    {
        doc.OpenDatabases(nullptr);
        doc.LoadList();
    }
};

}  // namespace

TEST(ContactModel, NumberColumnRule)
{
    ZuTestHome home;
    struct Case {
        const char* what;
        Props numbers;
        LONG preferred;
        const wchar_t* number;
        wchar_t marker;
    };
    const Case cases[] = {
        {"fallback order: work before mobile", {{ZUID_CON_MOBILE_TEL, L"010"}, {ZUID_CON_WORK_TEL, L"02"}}, 0, L"02", L'w'},
        {"preferred e-mail beside phones", {{ZUID_CON_HOME_TEL, L"031"}, {ZUID_CON_EMAIL, L"a@b.kr"}},
            static_cast<LONG>(MAKEPROPID(ZUID_CON_EMAIL, CEVT_LPWSTR)), L"a@b.kr", L'e'},
        {"pager only", {{ZUID_CON_PAGER, L"012"}}, 0, L"012", L'p'},
        {"none", {}, 0, L"", 0},
        {"preferred names none of the nine", {{ZUID_CON_HOME_TEL, L"031"}},
            static_cast<LONG>(MAKEPROPID(ZUID_CON_COMPANY, CEVT_LPWSTR)), L"", 0},
        {"empty first number is skipped", {{ZUID_CON_WORK_TEL, L""}, {ZUID_CON_CAR_TEL, L"011"}}, 0, L"011", L'c'},
    };
    for (const Case& c : cases) {
        CCeDBRecord r;
        for (const auto& [ident, value] : c.numbers) {
            CCeDBProp p(value, ident);
            r.AddProp(&p);
        }
        if (c.preferred) {
            CCeDBProp p(c.preferred, ZUID_CON_PREFERRED_NUMBER);
            r.AddProp(&p);
        }
        CString number;
        wchar_t marker = 1;
        ZuContactNumber(r, &number, &marker);
        EXPECT_EQ(number, CString(c.number)) << c.what;
        EXPECT_EQ(marker, c.marker) << c.what;
    }
}

TEST(ContactModel, NameOrderNamelessLast)
{
    ZuTestHome home;
    for (const wchar_t* n : {L"kim", L"김철수", L"Akim", L"KIM", L"!bang", L"9lives", L"가나"})
        addContact(n);
    addContact(nullptr);
    OpenDoc d;
    EXPECT_EQ(names(d.doc), QStringLiteral("!bang,9lives,Akim,kim,KIM,가나,김철수,"));
}

TEST(ContactModel, QuickSearchPrefixInitialsPreedit)
{
    ZuTestHome home;
    for (const wchar_t* n : {L"Kim", L"KIM", L"kim", L"Akim", L"김철수", L"김민", L"기미숙", L"강철", L"나은"})
        addContact(n);
    OpenDoc d;
    struct Case {
        const char16_t* text;
        bool composing;
        const char* expected;
    };
    const Case cases[] = {
        {u"kim", false, "Kim,KIM,kim"},
        {u"김", false, "김민,김철수"},
        {u"ㄱ", false, "강철,기미숙,김민,김철수"},
        {u"ㄱㅊㅅ", false, "김철수"},
        {u"김ㅊ", false, "김철수"},
        {u"기", false, "기미숙"},          // committed: the Part's prefix rule
        {u"기", true, "기미숙,김민,김철수"},  // still composing: may become 김
        {u"김", true, "기미숙,김민,김철수"},  // may still split into 기 + 미
        {u"ㄴ", false, "나은"},
        {u"x", false, ""},
    };
    for (const Case& c : cases) {
        d.doc.SetSearch(QString::fromUtf16(c.text), c.composing);
        EXPECT_EQ(names(d.doc), QString::fromUtf8(c.expected)) << QString::fromUtf16(c.text).toStdString();
    }
    // An emptied box shows the whole list again, not the last match.
    d.doc.SetSearch(QString(), false);
    EXPECT_EQ(d.doc.RowCount(), 9);
}

TEST(ContactModel, IndexButtonBoundaries)
{
    ZuTestHome home;
    for (const wchar_t* n : {L"가", L"나", L"다", L"하", L"A", L"a", L"z", L"0", L"!", L"~", L"힣"})
        addContact(n);
    OpenDoc d;
    const std::pair<int, const char*> cases[] = {
        {1, "가,나"}, {2, "다"}, {6, "하"}, {7, "A,a,z"}, {8, "!,0"},
        {0, "!,0,A,a,z,~,가,나,다,하,힣"},  // "~" and "힣" only under the whole list
    };
    for (const auto& [button, expected] : cases) {
        d.doc.IndexSelect(button);
        EXPECT_EQ(names(d.doc), QString::fromUtf8(expected)) << button;
    }
    d.doc.SetSearch(QStringLiteral("a"), false);
    d.doc.IndexSelect(1);
    EXPECT_TRUE(d.doc.SearchText().isEmpty());
    EXPECT_EQ(names(d.doc), QStringLiteral("가,나"));
    // A search overrides the last index button; its clearing goes back to the whole list.
    d.doc.SetSearch(QStringLiteral("z"), false);
    EXPECT_EQ(names(d.doc), QStringLiteral("z"));
}

TEST(ContactModel, CategoryFilterPersistence)
{
    ZuTestHome home;
    addCategory(L"가족", 0, 1);
    addCategory(L"미사용", 1, 0);  // used by no contact: not on the menu
    addCategory(L"회사", 2, 1);
    addContact(L"엄마", {}, {0});
    addContact(L"부장", {}, {2});
    addContact(L"친구");
    {
        OpenDoc d;
        std::vector<ContactMenuItem> menu = d.doc.CategoryMenu();
        QStringList texts;
        for (const auto& i : menu)
            texts << i.text.toQString() + (i.checked ? "*" : "");
        EXPECT_EQ(texts.join(','), QStringLiteral("최근목록,모든 그룹*,그룹 없음,가족,회사,다중선택..."));
        EXPECT_EQ(menu[3].id, ZU_CON_CATY_FIRST);

        EXPECT_TRUE(d.doc.ChooseCategory(ZU_CON_CATY_FIRST + 1, CString(L"회사")));
        EXPECT_EQ(names(d.doc), QStringLiteral("부장"));
        EXPECT_FALSE(d.doc.ChooseCategory(ZU_CON_CATY_FIRST + 1, CString(L"회사")));  // already in force
        EXPECT_TRUE(d.doc.ChooseCategory(ZU_CON_CATY_NONE, CString()));
        EXPECT_EQ(names(d.doc), QStringLiteral("친구"));
        d.doc.SetSearch(QStringLiteral("ㅊ"), false);
        d.doc.ChooseSeveral({0, 2});
        EXPECT_TRUE(d.doc.SearchText().isEmpty());  // a filter change forgets the search
        EXPECT_EQ(d.doc.CatyType(), ZU_CON_SEVERAL);
        EXPECT_EQ(names(d.doc), QStringLiteral("부장,엄마"));
    }
    CVORegistry key(HKEY_CURRENT_USER, ZuReg::Contact, TRUE);
    EXPECT_EQ(key.ReadDWORD(L"CatyType", 99), 4u);
    EXPECT_EQ(key.ReadDWORD(L"Category.nCount", 99), 2u);
    EXPECT_EQ(key.ReadDWORD(L"Category.Index.1", 99), 2u);
    {
        OpenDoc d;
        EXPECT_EQ(names(d.doc), QStringLiteral("부장,엄마"));
        EXPECT_EQ(d.doc.CatyStr(), CString(L"다중선택..."));
    }
    struct Hostile {
        DWORD type, count, index;
    };
    for (const Hostile h : {Hostile{3, 1, 0}, Hostile{2, 1000000, 0xFFFFFFFF}, Hostile{0xFFFFFFFF, 1, 0}}) {
        key.WriteDWORD(L"CatyType", h.type);
        key.WriteString(L"CatyStr", L"이상");
        key.WriteDWORD(L"Category.nCount", h.count);
        key.WriteDWORD(L"Category.Index.0", h.index);
        OpenDoc d(false);
        EXPECT_EQ(d.doc.CatyType(), ZU_CON_ALL) << h.type;
        EXPECT_EQ(d.doc.CatyStr(), CString(L"모든 그룹"));
        EXPECT_LE(d.doc.Selection().size(), 32u);
        EXPECT_EQ(d.doc.RowCount(), 3);
    }
}

TEST(ContactModel, RecentListCapacity)
{
    ZuTestHome home;
    std::vector<CEOID> oids;
    for (int i = 0; i < 15; ++i) {
        CString n;
        n.Format(L"사람%02d", i);
        oids.push_back(addContact(n));
    }
    int64_t now = 1000;
    {
        OpenDoc d;
        d.doc.Recent().SetClock([&] { return now; });
        for (CEOID oid : oids) {
            d.doc.Opened(oid);
            ++now;
        }
        EXPECT_EQ(d.doc.Recent().Entries().size(), 14u);
        EXPECT_FALSE(d.doc.Recent().Contains(oids[0]));  // the one opened longest ago went
        d.doc.Opened(oids[1]);                          // renewed, still 14
        EXPECT_EQ(d.doc.Recent().Entries().size(), 14u);
        d.doc.Opened(oids[0]);  // replaces the oldest: now oids[2]
        EXPECT_TRUE(d.doc.Recent().Contains(oids[1]));
        EXPECT_FALSE(d.doc.Recent().Contains(oids[2]));
        EXPECT_TRUE(d.doc.ChooseCategory(ZU_CON_CATY_RECENT, CString()));
        EXPECT_EQ(d.doc.RowCount(), 14);
        EXPECT_TRUE(d.doc.DeleteContact(oids[3]));
        EXPECT_FALSE(d.doc.Recent().Contains(oids[3]));
        EXPECT_EQ(d.doc.RowCount(), 13);
    }
    OpenDoc d;
    EXPECT_EQ(d.doc.CatyType(), ZU_CON_RECENT);
    EXPECT_EQ(d.doc.RowCount(), 13);
}

TEST(ContactModel, RecentListParsing)
{
    CRecentList list;
    // Uneven lists pair to the shorter; oids written signed read back unsigned; 64-bit times.
    list.Parse(CString(L"-2,5,7,"), CString(L"4102444800,9,"));
    ASSERT_EQ(list.Entries().size(), 2u);
    EXPECT_EQ(list.Entries()[0].oid, 0xFFFFFFFEu);
    EXPECT_EQ(list.Entries()[0].time, 4102444800LL);
    EXPECT_EQ(list.OidText(), CString(L"-2,5,"));
    // Equal times: the first of them is replaced.
    CRecentList full;
    for (CEOID i = 1; i <= 14; ++i)
        full.Add(i, 7);
    full.Add(99, 8);
    EXPECT_EQ(full.Entries()[0].oid, 99u);
}
