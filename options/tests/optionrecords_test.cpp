// Option records, the password scrambler, saving with change detection and the option messages,
// the window registration, and the same against real second programs.
#include "datafolder.h"
#include "filetime.h"
#include "lasterror.h"
#include "messagebox.h"
#include "optionrecords.h"
#include "optionstore.h"
#include "passwordbackoff.h"
#include "optiontestenv.h"
#include "voregistry.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

// Every message box, answered with OK.
class BoxCatcher {
public:
    BoxCatcher()
    {
        ZuSetMessageBoxHandler([this](const CString& text, const CString&, UINT) {
            texts.push_back(text.toUtf8());
            return IDOK;
        });
    }
    ~BoxCatcher() { ZuSetMessageBoxHandler({}); }
    std::vector<std::string> texts;
};

std::vector<Received> Changes(std::initializer_list<std::pair<WPARAM, LPARAM>> list)
{
    std::vector<Received> out;
    for (const auto& [code, value] : list)
        out.push_back(Received{WM_OPTION_CHANGED, code, value});
    return out;
}

} // namespace

TEST(OptionRecords, EmptyRegistryGivesDefaults)
{
    OptionTestEnv env;
    const _tabGeneralOpt general = GetGeneralOpt();
    EXPECT_FALSE(general.bSecurityFlag);
    EXPECT_EQ(general.strSecurityValue, L"NO");
    EXPECT_FALSE(general.bLeftScrollFlag);

    const _tabCalendarOpt calendar = GetCalendarOpt();
    EXPECT_EQ(calendar.nReserved, 0);
    EXPECT_FALSE(calendar.bPrivateFlag);
    EXPECT_FALSE(calendar.bBigFontFlag);
    EXPECT_EQ(calendar.nWvStartTime, 6);
    EXPECT_EQ(calendar.nWvEndTime, 24);

    const _tabTaskOpt task = GetTaskOpt();
    EXPECT_FALSE(task.bPrivateFlag || task.bBigFontFlag || task.bSETimeViewFlag || task.bStatusBarFlag);
    const _tabContactOpt contact = GetContactOpt();
    EXPECT_FALSE(contact.bBigFontFlag || contact.bShowQuickSearchBar || contact.bShowMultiLine || contact.bShowNameOnly);

    // The hours are written back; the booleans, the password and the window handles are not.
    CVORegistry cal = Key(L"Calendar");
    EXPECT_EQ(cal.ReadDWORD(L"nWvStartTime", 0), 6u);
    EXPECT_EQ(cal.ReadDWORD(L"nWvEndTime", 0), 24u);
    for (const wchar_t* name : {L"General", L"Contact", L"Task", L"Memo"}) {
        CVORegistry key = Key(name);
        CString value;
        EXPECT_FALSE(key.GetFirstValue(value)) << CString(name).toUtf8() << " holds " << value.toUtf8();
    }
    EXPECT_FALSE(cal.ValueExists(L"bPrivateFlag") || cal.ValueExists(L"bBigFontFlag") || cal.ValueExists(L"dwHWND"));
}

TEST(OptionRecords, BooleanIsTrueOnlyForExactlyTRUE)
{
    OptionTestEnv env;
    const struct {
        const wchar_t* stored;  // null: a REG_DWORD 1 instead of a string
        BOOL expected;
    } cases[] = {{L"TRUE", TRUE}, {L"true", FALSE}, {L"True", FALSE}, {L"1", FALSE}, {L" TRUE", FALSE},
        {L"TRUE ", FALSE}, {L"FALSE", FALSE}, {L"", FALSE}, {nullptr, FALSE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? CString(c.stored).toUtf8() : "DWORD 1");
        const auto store = [&](const wchar_t* key, const wchar_t* name) {
            CVORegistry reg = Key(key);
            if (c.stored)
                reg.WriteString(name, c.stored);
            else
                reg.WriteDWORD(name, 1);
        };
        store(L"Contact", L"bBigFontFlag");
        store(L"Calendar", L"bBigFontFlag");
        store(L"Task", L"bSETimeViewFlag");
        store(L"General", L"bLeftScrollFlag");
        EXPECT_EQ(GetContactOpt().bBigFontFlag, c.expected);
        EXPECT_EQ(GetCalendarOpt().bBigFontFlag, c.expected);
        EXPECT_EQ(GetTaskOpt().bSETimeViewFlag, c.expected);
        EXPECT_EQ(GetGeneralOpt().bLeftScrollFlag, c.expected);
    }
}

TEST(OptionRecords, GeneralRecordNeverHoldsThePassword)
{
    OptionTestEnv env;
    CVORegistry general = Key(L"General");
    general.WriteString(L"bSecurityFlag", L"TRUE");
    _tabGeneralOpt opt = GetGeneralOpt();
    EXPECT_TRUE(opt.bSecurityFlag);
    EXPECT_EQ(opt.strSecurityValue, L"");
    EXPECT_FALSE(general.ValueExists(L"strSecurityValue"));

    // Neither an old scrambled value nor a hash is handed out.
    general.WriteString(L"strSecurityValue", COptionStore::EncodePassword(L"pims2002"));
    EXPECT_EQ(GetGeneralOpt().strSecurityValue, L"");
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"pims2002", FALSE));
    EXPECT_EQ(GetGeneralOpt().strSecurityValue, L"");

    general.WriteString(L"bSecurityFlag", L"true");
    opt = GetGeneralOpt();
    EXPECT_FALSE(opt.bSecurityFlag);
    EXPECT_EQ(opt.strSecurityValue, L"NO");
}

TEST(OptionRecords, UnusableWeekViewHoursReadAsDefaults)
{
    OptionTestEnv env;
    const struct {
        DWORD start, end;
        int expectedStart, expectedEnd;
    } cases[] = {
        {8, 20, 8, 20}, {0, 24, 0, 24}, {23, 24, 23, 24}, {0, 1, 0, 1},
        {10, 10, 6, 24}, {20, 8, 6, 24}, {5, 25, 6, 24}, {100, 100, 6, 24}, {0xFFFFFFFF, 24, 6, 24},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.start) + "-" + std::to_string(c.end));
        CVORegistry cal = Key(L"Calendar");
        cal.WriteDWORD(L"nWvStartTime", c.start);
        cal.WriteDWORD(L"nWvEndTime", c.end);
        const _tabCalendarOpt opt = GetCalendarOpt();
        EXPECT_EQ(opt.nWvStartTime, c.expectedStart);
        EXPECT_EQ(opt.nWvEndTime, c.expectedEnd);
        EXPECT_EQ(cal.ReadDWORD(L"nWvStartTime", 0), c.start) << "the stored value is left alone";
    }
}

// The old scrambled form, still read once to replace it by a hash.
TEST(OptionPassword, StoredLayout)
{
    // "ab12" is scrambled reversed: '2', '1', 'b', 'a' at positions 1 to 4.
    const CString stored = COptionStore::EncodePassword(L"ab12");
    ASSERT_EQ(stored.GetLength(), 12);
    EXPECT_EQ(stored.Left(2), L"0x");
    EXPECT_EQ(stored.GetAt(2), static_cast<wchar_t>(63 + 2 * 1));
    EXPECT_EQ(stored.Mid(9, 2), L"0l");
    EXPECT_EQ(stored.GetAt(11), static_cast<wchar_t>('a' - 2 * 4));
    EXPECT_EQ(stored, (CString(L"0x") + wchar_t(65) + L"0x" + wchar_t(65) + L"0l" + wchar_t('b' - 6) + L"0l"
                          + wchar_t('a' - 8)));
    EXPECT_EQ(COptionStore::DecodePassword(stored), L"ab12");

    // The digit factor starts again after position 9: k = 9 at 9, 1 at 10, 2 at 11.
    const CString digits = COptionStore::EncodePassword(L"99911111111");  // reversed: eight 1s, then 9 9 9
    EXPECT_EQ(digits.GetAt(3 * 8 + 2), static_cast<wchar_t>(63 + 9 * 9));
    EXPECT_EQ(digits.GetAt(3 * 9 + 2), static_cast<wchar_t>(63 + 9 * 1));
    EXPECT_EQ(digits.GetAt(3 * 10 + 2), static_cast<wchar_t>(63 + 9 * 2));
    // A letter's low byte minus 2i is a signed byte widened to 16 bits: 0xE9 - 2 = -25 = 0xFFE7.
    EXPECT_EQ(COptionStore::EncodePassword(L"\u00E9"), CString(L"0l") + wchar_t(0xFFE7));
    EXPECT_EQ(COptionStore::DecodePassword(CString(L"0l") + wchar_t(0xFFE7)), L"\u00E9");
    // Anything that is neither letter nor digit is kept as it is.
    EXPECT_EQ(COptionStore::EncodePassword(L"-"), L"0e-");
}

TEST(OptionPassword, LettersAndDigitsRoundTripAtEveryPosition)
{
    for (const wchar_t probe : {L'a', L'z', L'A', L'Z', L'm', L'0', L'5', L'9'}) {
        for (int length = 1; length <= 11; ++length) {
            for (int at = 0; at < length; ++at) {
                std::wstring password(static_cast<size_t>(length), L'Q');
                for (int j = 0; j < length; j += 2)
                    password[static_cast<size_t>(j)] = L'7';
                password[static_cast<size_t>(at)] = probe;
                SCOPED_TRACE(CString(password).toUtf8());
                const CString stored = COptionStore::EncodePassword(CString(password));
                EXPECT_EQ(stored.GetLength(), 3 * length);
                EXPECT_EQ(COptionStore::DecodePassword(stored), CString(password));
            }
        }
    }
}

TEST(OptionPassword, DecodeSkipsWhatItDoesNotKnow)
{
    // Group 2 has an unknown marker and gives nothing; the trailing "0l" is a partial group.
    EXPECT_EQ(COptionStore::DecodePassword(L"0e!0q?0xB0l"), L"1!");
    EXPECT_EQ(COptionStore::DecodePassword(L""), L"");
    EXPECT_EQ(COptionStore::DecodePassword(L"0x"), L"");
}

// Each password test starts with no wrong entries behind it (the count is the process's).
class OptionPasswordStore : public ::testing::Test {
protected:
    void SetUp() override { CPasswordBackoff::Instance().Right(); }
    void TearDown() override
    {
        CPasswordBackoff::Instance().Right();
        ZuSetClock({});
    }
    static COptionStore::PasswordCheck Check(const CString& typed) { return COptionStore().CheckPassword(typed); }
    static CString Stored() { return Key(L"General").ReadString(L"strSecurityValue", nullptr); }

    OptionTestEnv m_env;
    BoxCatcher m_boxes;
};

using Outcome = COptionStore::PasswordCheck;

TEST_F(OptionPasswordStore, SetCheckAndSwitchOff)
{
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"abc123", TRUE));
    CVORegistry general = Key(L"General");
    EXPECT_EQ(general.ReadString(L"bSecurityFlag", nullptr), L"TRUE");
    EXPECT_EQ(general.ReadString(L"bLeftScrollFlag", nullptr), L"TRUE");
    EXPECT_EQ(Check(L"abc123"), Outcome::Right);
    // Case-sensitive, whole text, and the empty entry is no password.
    for (const wchar_t* wrong : {L"ABC123", L"abc12", L"abc1234", L"", L" abc123"}) {
        SCOPED_TRACE(CString(wrong).toUtf8());
        CPasswordBackoff::Instance().Right();
        EXPECT_EQ(Check(wrong), Outcome::Wrong);
    }

    // An empty text keeps the password; a new one replaces it.
    const CString hash = Stored();
    EXPECT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"", TRUE));
    EXPECT_EQ(Stored(), hash);
    EXPECT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"비밀2002", TRUE));
    EXPECT_EQ(Check(L"비밀2002"), Outcome::Right) << "any text is a password, Hangul too";
    EXPECT_EQ(Check(L"abc123"), Outcome::Wrong);

    EXPECT_TRUE(COptionStore().SaveGeneralOpt(FALSE, L"NO", TRUE));
    EXPECT_EQ(general.ReadString(L"bSecurityFlag", nullptr), L"FALSE");
    EXPECT_FALSE(general.ValueExists(L"strSecurityValue"));
    EXPECT_EQ(GetGeneralOpt().strSecurityValue, L"NO");
    EXPECT_TRUE(m_boxes.texts.empty());
}

TEST_F(OptionPasswordStore, ProtectionNeedsAPassword)
{
    CVORegistry general = Key(L"General");
    // Nothing stored; then a password left behind while protection was off (an earlier version
    // kept it): "unchanged" has no password to keep either way.
    EXPECT_FALSE(COptionStore().SaveGeneralOpt(TRUE, L"", FALSE));
    EXPECT_FALSE(general.ValueExists(L"bSecurityFlag"));
    general.WriteString(L"bSecurityFlag", L"FALSE");
    general.WriteString(L"strSecurityValue", COptionStore::EncodePassword(L"old1"));
    EXPECT_FALSE(COptionStore().SaveGeneralOpt(TRUE, L"", FALSE));
    EXPECT_EQ(general.ReadString(L"bSecurityFlag", nullptr), L"FALSE");
    EXPECT_FALSE(GetGeneralOpt().bSecurityFlag);
}

TEST_F(OptionPasswordStore, PasswordIsNotRecoverable)
{
    CVORegistry general = Key(L"General");
    const auto holdsNoReversibleForm = [&](const CString& password) {
        const CString stored = Stored();
        EXPECT_TRUE(stored.Left(3) == L"$y$") << stored.toUtf8();
        EXPECT_NE(COptionStore::DecodePassword(stored), password);
        EXPECT_EQ(stored.Find(password), -1);
        EXPECT_EQ(stored.Find(COptionStore::EncodePassword(password)), -1);
    };

    // After a save; the salt makes two saves of one password differ.
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"pims2002", FALSE));
    holdsNoReversibleForm(L"pims2002");
    const CString first = Stored();
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"pims2002", FALSE));
    EXPECT_NE(Stored(), first);

    // After an old value's first right entry: a wrong one leaves it, the right one replaces it.
    general.WriteString(L"strSecurityValue", COptionStore::EncodePassword(L"Legacy42"));
    EXPECT_EQ(Check(L"legacy42"), Outcome::Wrong);
    EXPECT_EQ(Stored(), COptionStore::EncodePassword(L"Legacy42"));
    EXPECT_EQ(Check(L"Legacy42"), Outcome::Right);
    holdsNoReversibleForm(L"Legacy42");
    EXPECT_EQ(Check(L"Legacy42"), Outcome::Right) << "the hash takes the old form's place";

    // After a save that keeps an old value: it is hashed there and then.
    general.WriteString(L"strSecurityValue", COptionStore::EncodePassword(L"kept7"));
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"", FALSE));
    holdsNoReversibleForm(L"kept7");
    EXPECT_EQ(Check(L"kept7"), Outcome::Right);

    // Switching protection off deletes it.
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(FALSE, L"", FALSE));
    EXPECT_FALSE(general.ValueExists(L"strSecurityValue"));
}

TEST_F(OptionPasswordStore, OldEmptyPasswordStillLetsIn)
{
    // Protection on with no value: an earlier version's empty password, only the empty entry.
    Key(L"General").WriteString(L"bSecurityFlag", L"TRUE");
    EXPECT_EQ(Check(L"x"), Outcome::Wrong);
    EXPECT_EQ(Check(L""), Outcome::Right);
}

TEST(OptionPasswordBackoff, WaitAfterWrongEntriesInARow)
{
    const std::pair<int, std::int64_t> table[] = {
        {0, 0}, {1, 0}, {2, 0}, {3, 1000}, {4, 2000}, {5, 4000}, {6, 8000}, {7, 8000}, {50, 8000}, {1000, 8000}};
    for (const auto& [wrong, wait] : table)
        EXPECT_EQ(CPasswordBackoff::WaitAfter(wrong), wait) << wrong << " wrong entries";
}

TEST_F(OptionPasswordStore, BackoffRunsOnTheSuitesClock)
{
    ASSERT_TRUE(COptionStore().SaveGeneralOpt(TRUE, L"right", FALSE));
    // Milliseconds since the start, what is typed, what the check says and the wait it reports.
    const struct {
        std::int64_t atMs;
        const wchar_t* typed;
        Outcome outcome;
        std::int64_t waitMs;
    } steps[] = {
        {0, L"w1", Outcome::Wrong, 0},
        {0, L"w2", Outcome::Wrong, 0},
        {0, L"w3", Outcome::Wrong, 0},
        {999, L"right", Outcome::Wait, 1},    // the fourth try waits 1 s, even when right
        {1000, L"w4", Outcome::Wrong, 0},
        {2999, L"w5", Outcome::Wait, 1},      // then 2 s after the last wrong entry
        {3000, L"w5", Outcome::Wrong, 0},
        {6999, L"w6", Outcome::Wait, 1},      // 4 s
        {7000, L"w6", Outcome::Wrong, 0},
        {14999, L"w7", Outcome::Wait, 1},     // 8 s
        {15000, L"w7", Outcome::Wrong, 0},
        {16000, L"w8", Outcome::Wait, 7000},  // and never longer than 8 s
        {23000, L"w8", Outcome::Wrong, 0},
        {10000, L"right", Outcome::Wait, 8000},  // a clock set back: still at most 8 s
        {31000, L"right", Outcome::Right, 0},
        {31000, L"w9", Outcome::Wrong, 0},    // a right entry starts the count again
        {31000, L"right", Outcome::Right, 0},
    };
    const std::uint64_t start = 133000000000000000ull;  // some time in 2022, in 100 ns units
    for (size_t i = 0; i < std::size(steps); ++i) {
        const auto& s = steps[i];
        SCOPED_TRACE("step " + std::to_string(i) + " at " + std::to_string(s.atMs) + " ms");
        const std::uint64_t now = start + static_cast<std::uint64_t>(s.atMs) * 10000;
        ZuSetFixedClock(FILETIME{static_cast<DWORD>(now), static_cast<DWORD>(now >> 32)});
        std::int64_t wait = -1;
        EXPECT_EQ(COptionStore().CheckPassword(s.typed, &wait), s.outcome);
        EXPECT_EQ(wait, s.waitMs);
    }
}

TEST(OptionSave, PasswordThatIsNotStoredTurnsProtectionOff)
{
    const std::string message = "비밀번호 저장에 실패하였습니다.\n비밀번호 설정을 끕니다.";
    OptionTestEnv env;
    BoxCatcher boxes;
    GetGeneralOpt();  // creates the registry file and the keys
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(ZuDataFile("registry.db").c_str(), &db), SQLITE_OK);
    const char* refuse =
        "CREATE TRIGGER refuse_insert BEFORE INSERT ON reg_value WHEN NEW.fold = 'strsecurityvalue'"
        " BEGIN SELECT RAISE(ABORT, 'refused'); END;"
        "CREATE TRIGGER refuse_update BEFORE UPDATE ON reg_value WHEN NEW.fold = 'strsecurityvalue'"
        " BEGIN SELECT RAISE(ABORT, 'refused'); END;";
    ASSERT_EQ(sqlite3_exec(db, refuse, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    EXPECT_FALSE(COptionStore().SaveGeneralOpt(TRUE, L"abcd1234", FALSE));
    EXPECT_EQ(boxes.texts, std::vector<std::string>{message});
    EXPECT_EQ(Key(L"General").ReadString(L"bSecurityFlag", nullptr), L"FALSE");
    EXPECT_FALSE(GetGeneralOpt().bSecurityFlag);
}

// Option messages within this program: the test's own window registered as the program concerned.
class OptionMessages : public ::testing::Test {
protected:
    void Register(const wchar_t* app)
    {
        m_hwnd = ZuRegisterMainWindow(&m_window);
        ASSERT_NE(m_hwnd, 0u);
        ASSERT_TRUE(WriteRegistryHWND(m_hwnd, app));
    }
    std::vector<Received> Take()
    {
        std::vector<Received> got;
        got.swap(m_window.got);
        return got;
    }

    OptionTestEnv m_env;
    RecordingWindow m_window;
    HWND m_hwnd = 0;
};

TEST_F(OptionMessages, ContactOptionsCascade)
{
    Register(L"Contact");
    const struct {
        BOOL big, quick, multi, nameOnly;
        std::vector<Received> expected;
    } steps[] = {
        // Nothing stored: every value is written, so every option is a change.
        {FALSE, FALSE, FALSE, FALSE, Changes({{18, 0}, {20, 0}, {17, 0}, {19, 0}})},
        {FALSE, FALSE, FALSE, FALSE, {}},
        // A change sends every later option too, in the order big font, names only, quick, multi-line.
        {TRUE, FALSE, FALSE, FALSE, Changes({{18, 1}, {20, 0}, {17, 0}, {19, 0}})},
        {TRUE, FALSE, TRUE, FALSE, Changes({{19, 1}})},
        {TRUE, FALSE, TRUE, TRUE, Changes({{20, 1}, {17, 0}, {19, 1}})},
        {TRUE, TRUE, TRUE, TRUE, Changes({{17, 1}, {19, 1}})},
        {FALSE, FALSE, FALSE, FALSE, Changes({{18, 0}, {20, 0}, {17, 0}, {19, 0}})},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE("step " + std::to_string(i));
        const auto& s = steps[i];
        COptionStore().SaveContactOpt(s.big, s.quick, s.multi, s.nameOnly);
        EXPECT_EQ(Take(), s.expected);
        const _tabContactOpt opt = GetContactOpt();
        EXPECT_EQ(opt.bBigFontFlag, s.big);
        EXPECT_EQ(opt.bShowQuickSearchBar, s.quick);
        EXPECT_EQ(opt.bShowMultiLine, s.multi);
        EXPECT_EQ(opt.bShowNameOnly, s.nameOnly);
    }

    // A stored value that is neither "TRUE" nor "FALSE" is left alone and is no change.
    Key(L"Contact").WriteString(L"bShowMultiLine", L"yes");
    COptionStore().SaveContactOpt(FALSE, FALSE, TRUE, FALSE);
    EXPECT_EQ(Take(), std::vector<Received>{});
    EXPECT_EQ(Key(L"Contact").ReadString(L"bShowMultiLine", nullptr), L"yes");
}

TEST_F(OptionMessages, CalendarTaskAndGeneralOptions)
{
    Register(L"Calendar");
    COptionStore().SaveCalendarOpt(FALSE, TRUE, 7, 22);
    EXPECT_EQ(Take(), Changes({{33, 0}, {34, 1}, {37, MAKELONG(7, 22)}}));
    COptionStore().SaveCalendarOpt(FALSE, TRUE, 7, 22);
    EXPECT_EQ(Take(), std::vector<Received>{});
    COptionStore().SaveCalendarOpt(TRUE, TRUE, 7, 23);
    EXPECT_EQ(Take(), Changes({{33, 1}, {37, MAKELONG(7, 23)}}));
    const _tabCalendarOpt cal = GetCalendarOpt();
    EXPECT_TRUE(cal.bPrivateFlag && cal.bBigFontFlag);
    EXPECT_EQ(cal.nWvStartTime, 7);
    EXPECT_EQ(cal.nWvEndTime, 23);

    COptionStore().SaveTaskStatusBar(TRUE);
    EXPECT_EQ(Take(), Changes({{52, 1}}));
    COptionStore().SaveTaskStatusBar(TRUE);
    EXPECT_EQ(Take(), std::vector<Received>{});
    EXPECT_TRUE(GetTaskOpt().bStatusBarFlag);

    // Left scroll reaches the calendar; there is no contacts program.
    COptionStore().SaveGeneralOpt(FALSE, L"NO", TRUE);
    EXPECT_EQ(Take(), Changes({{2, 1}}));
    COptionStore().SaveGeneralOpt(FALSE, L"NO", TRUE);
    EXPECT_EQ(Take(), std::vector<Received>{});
}

TEST_F(OptionMessages, WindowRegistration)
{
    m_hwnd = ZuRegisterMainWindow(&m_window);
    ASSERT_NE(m_hwnd, 0u);
    const auto stored = [](const wchar_t* key) {
        return Key(key).ReadDWORD(L"dwHWND", CVORegistry::kUnstoredDefault);
    };
    EXPECT_TRUE(WriteRegistryHWND(m_hwnd, L"calendar"));
    EXPECT_EQ(stored(L"Calendar"), m_hwnd);
    EXPECT_TRUE(WriteRegistryHWND(m_hwnd, L"MEMO"));
    EXPECT_EQ(stored(L"Memo"), m_hwnd);
    EXPECT_TRUE(WriteRegistryHWND(m_hwnd, L"Task"));
    EXPECT_EQ(stored(L"Task"), m_hwnd);

    // A live window under no program's name: TRUE, nothing written.
    EXPECT_TRUE(WriteRegistryHWND(m_hwnd, L"General"));
    EXPECT_TRUE(WriteRegistryHWND(m_hwnd, L"Notes"));
    EXPECT_FALSE(Key(L"General").ValueExists(L"dwHWND"));
    EXPECT_FALSE(Key(L"Contact").ValueExists(L"dwHWND"));

    // Not a window: nothing written.
    EXPECT_FALSE(WriteRegistryHWND(DeadHandle(), L"Calendar"));
    EXPECT_FALSE(WriteRegistryHWND(ZU_HWND_UNSET, L"Calendar"));
    EXPECT_EQ(stored(L"Calendar"), m_hwnd);

    // A null handle clears the entry and answers FALSE.
    EXPECT_FALSE(WriteRegistryHWND(0, L"Calendar"));
    EXPECT_EQ(stored(L"Calendar"), 0u);
    EXPECT_FALSE(WriteRegistryHWND(0, L"General"));
    EXPECT_FALSE(Key(L"General").ValueExists(L"dwHWND"));

    // This program's own window does not count as another program.
    EXPECT_FALSE(IsAnotherSuiteProgramRunning());
}

TEST_F(OptionMessages, HandlesThatAreNoLiveWindowGetNothing)
{
    Register(L"Calendar");
    // The contacts entry names no live program: a process that ended, or the registry's default.
    for (const HWND other : {DeadHandle(), ZU_HWND_UNSET, HWND{0}}) {
        SCOPED_TRACE(other);
        Key(L"Contact").WriteDWORD(L"dwHWND", other);
        const auto start = Clock::now();
        COptionStore().SaveContactOpt(TRUE, TRUE, TRUE, TRUE);
        COptionStore().SaveContactOpt(FALSE, FALSE, FALSE, FALSE);
        EXPECT_LT(MillisecondsSince(start), 500);
        EXPECT_EQ(Take(), std::vector<Received>{}) << "the calendar window gets no contacts options";
        EXPECT_FALSE(IsAnotherSuiteProgramRunning());
    }
}

// Against real second programs (zu_fake_program), each test with its own data and socket folders.
class OptionPrograms : public ::testing::Test {
protected:
    std::string Log() const { return m_env.home() + "/messages.log"; }
    OptionTestEnv m_env;
};

TEST_F(OptionPrograms, LeftScrollGoesToBothProgramsCalendarFirst)
{
    FakeProgram contact, calendar;
    ASSERT_TRUE(contact.start("Contact", Log()));
    ASSERT_TRUE(calendar.start("Calendar", Log()));
    EXPECT_TRUE(IsAnotherSuiteProgramRunning());
    EXPECT_TRUE(COptionStore().SaveGeneralOpt(FALSE, L"NO", TRUE));
    EXPECT_EQ(ReadLines(Log()), (std::vector<std::string>{"Calendar 4124 2 1", "Contact 4124 2 1"}));
    COptionStore().SaveGeneralOpt(FALSE, L"NO", TRUE);
    EXPECT_EQ(ReadLines(Log()).size(), 2u) << "no change, no message";
}

TEST_F(OptionPrograms, ContactBigFontSendsTheCascade)
{
    COptionStore().SaveContactOpt(FALSE, FALSE, FALSE, FALSE);  // before the program runs
    FakeProgram contact;
    ASSERT_TRUE(contact.start("Contact", Log()));
    COptionStore().SaveContactOpt(FALSE, FALSE, FALSE, FALSE);
    COptionStore().SaveContactOpt(TRUE, FALSE, FALSE, FALSE);
    EXPECT_EQ(ReadLines(Log()),
        (std::vector<std::string>{"Contact 4124 18 1", "Contact 4124 20 0", "Contact 4124 17 0", "Contact 4124 19 0"}));
}

TEST_F(OptionPrograms, KilledProgramsStaleHandleGetsNothing)
{
    FakeProgram calendar;
    ASSERT_TRUE(calendar.start("Calendar", Log()));
    const HWND hwnd = calendar.hwnd();
    EXPECT_TRUE(IsAnotherSuiteProgramRunning());
    calendar.process().kill(SIGKILL);
    ASSERT_TRUE(calendar.process().waitForFinished(10000));
    // The killed program left its registry entry and its socket file behind.
    ASSERT_EQ(Key(L"Calendar").ReadDWORD(L"dwHWND", 0), hwnd);

    EXPECT_FALSE(IsAnotherSuiteProgramRunning());
    const auto start = Clock::now();
    COptionStore().SaveGeneralOpt(FALSE, L"NO", TRUE);
    COptionStore().SaveCalendarOpt(TRUE, TRUE, 8, 20);
    COptionStore().SaveTaskStatusBar(TRUE);
    EXPECT_LT(MillisecondsSince(start), 1000);
    EXPECT_TRUE(ReadLines(Log()).empty());
    EXPECT_FALSE(WriteRegistryHWND(hwnd, L"Calendar"));
}

TEST_F(OptionPrograms, AnyOfTheFourEntriesLetsTheUserIn)
{
    FakeProgram program;
    ASSERT_TRUE(program.start("Memo", Log()));
    EXPECT_TRUE(IsAnotherSuiteProgramRunning());
    for (const wchar_t* key : {L"Contact", L"Calendar", L"Task"}) {
        SCOPED_TRACE(CString(key).toUtf8());
        Key(L"Memo").WriteDWORD(L"dwHWND", 0);
        Key(key).WriteDWORD(L"dwHWND", program.hwnd());
        EXPECT_TRUE(IsAnotherSuiteProgramRunning());
        Key(key).WriteDWORD(L"dwHWND", 0);
        EXPECT_FALSE(IsAnotherSuiteProgramRunning());
    }
}

TEST_F(OptionPrograms, HungProgramHoldsASaveOnlyOnce)
{
    FakeProgram contact;
    ASSERT_TRUE(contact.start("Contact", Log(), {"--hang", std::to_string(WM_OPTION_CHANGED), "60000"}));
    const auto start = Clock::now();
    COptionStore().SaveContactOpt(TRUE, TRUE, TRUE, TRUE);  // four messages for a program that hangs on the first
    const long long waited = MillisecondsSince(start);
    EXPECT_GE(waited, ZU_SEND_MESSAGE_TIMEOUT_MS - 50);
    EXPECT_LT(waited, ZU_SEND_MESSAGE_TIMEOUT_MS + 2000);
    EXPECT_TRUE(GetContactOpt().bShowMultiLine) << "the options are stored all the same";
}
