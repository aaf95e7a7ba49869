#include "registry.h"

#include "childprocess.h"
#include "lasterror.h"
#include "sqlite.h"
#include "testhome.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {

class Registry : public ::testing::Test {
protected:
    ZuTestHome home;
};

HKEY createKey(HKEY parent, const wchar_t* path, DWORD* disposition = nullptr, REGSAM access = KEY_ALL_ACCESS)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyEx(parent, path, 0, nullptr, 0, access, nullptr, &key, disposition), ERROR_SUCCESS)
        << "creating " << QString::fromWCharArray(path).toStdString();
    return key;
}

LONG setNumber(HKEY key, const wchar_t* name, DWORD value)
{
    return RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

LONG setText(HKEY key, const wchar_t* name, const std::wstring& text)
{
    return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// The value's type and bytes, read with a size query first; type REG_NONE and no bytes when absent.
std::pair<DWORD, std::vector<BYTE>> readValue(HKEY key, const wchar_t* name)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return {REG_NONE, {}};
    std::vector<BYTE> data(size);
    EXPECT_EQ(RegQueryValueEx(key, name, nullptr, &type, data.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(size, data.size());
    return {type, data};
}

std::vector<std::wstring> subkeys(HKEY key)
{
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG rc = RegEnumKeyEx(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<std::wstring> valueNames(HKEY key)
{
    std::vector<std::wstring> names;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG rc = RegEnumValue(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) {
            EXPECT_EQ(rc, ERROR_NO_MORE_ITEMS);
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

std::vector<BYTE> bytesOf(const std::wstring& text)
{
    std::vector<BYTE> b((text.size() + 1) * sizeof(wchar_t));
    std::memcpy(b.data(), text.c_str(), b.size());
    return b;
}

} // namespace

TEST_F(Registry, CreateMakesIntermediateKeysAndMatchesNamesWithoutCase)
{
    DWORD disposition = 0;
    HKEY calendar = createKey(HKEY_CURRENT_USER, L"Software\\ZuPims\\Calendar", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);

    HKEY again = createKey(HKEY_CURRENT_USER, L"SOFTWARE\\zupims\\CALENDAR\\", &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    ASSERT_EQ(setNumber(again, L"Shared", 7), ERROR_SUCCESS);
    EXPECT_EQ(readValue(calendar, L"shared").second.size(), 4u);  // one key behind both handles

    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, L"software", 0, KEY_READ, &software), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(software), std::vector<std::wstring>{L"ZuPims"});  // the case it was created with

    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, L"Software\\ZuPims\\Contact", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, &missing), ERROR_FILE_NOT_FOUND);

    // Empty names inside a path and overlong names are refused; 255 characters are allowed.
    const std::wstring longest(255, L'k');
    for (const std::wstring& bad : {std::wstring(L"\\Software"), std::wstring(L"a\\\\b"), longest + L"k"}) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, bad.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  ERROR_INVALID_PARAMETER);
        EXPECT_EQ(key, nullptr);
    }
    RegCloseKey(createKey(HKEY_CURRENT_USER, longest.c_str()));

    for (HKEY k : {calendar, again, software})
        EXPECT_EQ(RegCloseKey(k), ERROR_SUCCESS);
}

TEST_F(Registry, ValuesComeBackWithTheirTypeAndBytes)
{
    HKEY key = createKey(HKEY_LOCAL_MACHINE, L"Software\\Values");
    const DWORD number = 0xDEADBEEF;
    std::vector<BYTE> numberBytes(4);
    std::memcpy(numberBytes.data(), &number, 4);
    const struct {
        const wchar_t* name;
        DWORD type;
        std::vector<BYTE> data;
    } cases[] = {
        {L"Number", REG_DWORD, numberBytes},
        {L"Blob", REG_BINARY, {0, 1, 0, 0xFF, 0}},
        {L"EmptyBlob", REG_BINARY, {}},
        {L"None", REG_NONE, {9}},
        {L"Text", REG_SZ, bytesOf(L"음력 생일 \U0001F382")},
        {L"EmptyText", REG_SZ, bytesOf(L"")},
        {L"Path", REG_EXPAND_SZ, bytesOf(L"%HOME%\\zu")},
        {L"", REG_SZ, bytesOf(L"the default value")},
    };
    for (const auto& c : cases)
        ASSERT_EQ(RegSetValueEx(key, c.name, 0, c.type, c.data.data(), static_cast<DWORD>(c.data.size())),
                  ERROR_SUCCESS);
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromWCharArray(c.name).toStdString());
        const auto [type, data] = readValue(key, c.name);
        EXPECT_EQ(type, c.type);
        EXPECT_EQ(data, c.data);
    }
    // Null and "" both name the default value.
    EXPECT_EQ(readValue(key, nullptr).second, bytesOf(L"the default value"));
    ASSERT_EQ(RegDeleteValue(key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(key, L"", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST_F(Registry, TextsAreWideForCallersAndUtf16InTheFile)
{
    HKEY key = createKey(HKEY_CURRENT_USER, L"Texts");
    ASSERT_EQ(setText(key, L"Smile", L"가\U0001F600"), ERROR_SUCCESS);
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueEx(key, L"Smile", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 3 * sizeof(wchar_t));

    // A text written without its terminator comes back with one.
    const wchar_t ab[] = {L'a', L'b'};
    ASSERT_EQ(RegSetValueEx(key, L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(ab), sizeof(ab)), ERROR_SUCCESS);
    EXPECT_EQ(readValue(key, L"Bare").second, bytesOf(L"ab"));
    RegCloseKey(key);

    ZuSqlite db;
    ASSERT_TRUE(db.open(home.file("registry.db"), true));
    ZuSqlStmt st = db.prepare("SELECT data FROM reg_value WHERE name='Smile'");
    ASSERT_EQ(st.step(), 100 /* SQLITE_ROW */);
    const auto* b = static_cast<const BYTE*>(st.blob(0));
    const std::vector<BYTE> stored(b, b + st.bytes(0));
    // 가 U+AC00, then U+1F600 as the pair D83D DE00, then the terminator; little-endian.
    EXPECT_EQ(stored, (std::vector<BYTE>{0x00, 0xAC, 0x3D, 0xD8, 0x00, 0xDE, 0x00, 0x00}));
}

TEST_F(Registry, BuffersTooSmallReportTheSizeNeeded)
{
    HKEY key = createKey(HKEY_CURRENT_USER, L"Sizes");
    ASSERT_EQ(setText(key, L"Name", L"홍길동"), ERROR_SUCCESS);
    const DWORD need = 4 * sizeof(wchar_t);

    std::vector<BYTE> buffer(need - 1, 0xAB);
    DWORD size = static_cast<DWORD>(buffer.size());
    DWORD type = REG_NONE;
    EXPECT_EQ(RegQueryValueEx(key, L"NAME", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, need);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(buffer, std::vector<BYTE>(need - 1, 0xAB));  // nothing half-written

    EXPECT_EQ(RegQueryValueEx(key, L"Name", nullptr, nullptr, buffer.data(), nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueEx(key, L"Other", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);

    // Enumeration: the name's length without its terminator, the data's in bytes.
    wchar_t name[4];
    DWORD length = 4;
    EXPECT_EQ(RegEnumValue(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(length, 4u);
    wchar_t wide[5];
    length = 5;
    size = 2;
    EXPECT_EQ(RegEnumValue(key, 0, wide, &length, nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(std::wstring(wide), L"Name");
    EXPECT_EQ(size, need);

    // Number values are exactly 4 bytes: an 8-byte `long` is a mistake, refused.
    const std::uint64_t wide64 = 5;
    EXPECT_EQ(RegSetValueEx(key, L"N", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&wide64), 8), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueEx(key, L"N", 0, REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueEx(key, std::wstring(16384, L'v').c_str(), 0, REG_BINARY, nullptr, 0), ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST_F(Registry, EnumerationListsKeysByNameAndValuesInTheOrderSet)
{
    HKEY key = createKey(HKEY_CURRENT_USER, L"Order");
    for (const wchar_t* k : {L"beta", L"Gamma", L"alpha"})
        RegCloseKey(createKey(key, k));
    for (const wchar_t* v : {L"zeta", L"Yodh", L"xi"})
        ASSERT_EQ(setNumber(key, v, 1), ERROR_SUCCESS);
    ASSERT_EQ(setNumber(key, L"ZETA", 2), ERROR_SUCCESS);  // rewriting keeps the name and the place

    EXPECT_EQ(subkeys(key), (std::vector<std::wstring>{L"alpha", L"beta", L"Gamma"}));
    EXPECT_EQ(valueNames(key), (std::vector<std::wstring>{L"zeta", L"Yodh", L"xi"}));
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    wchar_t name[8];
    DWORD length = 8;
    ASSERT_EQ(RegEnumValue(key, 0, name, &length, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 2u);
    length = 8;
    EXPECT_EQ(RegEnumKeyEx(key, 3, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    length = 8;
    EXPECT_EQ(RegEnumValue(key, 1000, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST_F(Registry, DeleteKeyRefusesKeysWithSubkeysAndTakesTheValues)
{
    HKEY leaf = createKey(HKEY_CURRENT_USER, L"Tree\\Branch\\Leaf");
    ASSERT_EQ(setNumber(leaf, L"Count", 3), ERROR_SUCCESS);
    RegCloseKey(leaf);

    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, L"Tree\\Branch"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, L"tree\\branch\\leaf"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, L"Tree\\Branch\\Leaf"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, L"Tree\\Branch"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, L""), ERROR_ACCESS_DENIED);  // the tree itself stays

    DWORD disposition = 0;
    leaf = createKey(HKEY_CURRENT_USER, L"Tree\\Branch\\Leaf", &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_TRUE(valueNames(leaf).empty());
    EXPECT_EQ(RegDeleteKey(leaf, L""), ERROR_SUCCESS);  // "" is the handle's own key
    RegCloseKey(leaf);
}

TEST_F(Registry, HandlesOnADeletedKeyAnswerKeyDeleted)
{
    HKEY key = createKey(HKEY_CURRENT_USER, L"Doomed");
    ASSERT_EQ(setNumber(key, L"V", 1), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKey(HKEY_CURRENT_USER, L"Doomed"), ERROR_SUCCESS);
    RegCloseKey(createKey(HKEY_CURRENT_USER, L"Doomed"));  // a new key of the same name is another key

    wchar_t name[16];
    DWORD length = 16;
    DWORD size = 4;
    DWORD value = 0;
    HKEY other = nullptr;
    const std::vector<std::pair<const char*, std::function<LONG()>>> calls = {
        {"query", [&] { return RegQueryValueEx(key, L"V", nullptr, nullptr, nullptr, &size); }},
        {"set", [&] { return setNumber(key, L"V", 2); }},
        {"delete value", [&] { return RegDeleteValue(key, L"V"); }},
        {"enum keys", [&] { return RegEnumKeyEx(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr); }},
        {"enum values", [&] { return RegEnumValue(key, 0, name, &length, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size); }},
        {"create", [&] { return RegCreateKeyEx(key, L"Child", 0, nullptr, 0, 0, nullptr, &other, nullptr); }},
        {"open", [&] { return RegOpenKeyEx(key, nullptr, 0, 0, &other); }},
        {"delete key", [&] { return RegDeleteKey(key, L""); }},
    };
    for (const auto& [what, call] : calls)
        EXPECT_EQ(call(), ERROR_KEY_DELETED) << what;
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(Registry, BadHandlesAndNullArgumentsFailWithoutCrashing)
{
    const std::size_t openBefore = ZuRegOpenHandleCount();
    HKEY closed = createKey(HKEY_CURRENT_USER, L"Closed");
    EXPECT_EQ(ZuRegOpenHandleCount(), openBefore + 1);
    ASSERT_EQ(RegCloseKey(closed), ERROR_SUCCESS);
    EXPECT_EQ(ZuRegOpenHandleCount(), openBefore);
    EXPECT_EQ(RegCloseKey(closed), ERROR_INVALID_HANDLE);

    for (HKEY bad : {HKEY(nullptr), closed, reinterpret_cast<HKEY>(0x1234), reinterpret_cast<HKEY>(0x80000003u)}) {
        wchar_t name[8];
        DWORD length = 8;
        DWORD size = 0;
        HKEY out = nullptr;
        EXPECT_EQ(RegCreateKeyEx(bad, L"x", 0, nullptr, 0, 0, nullptr, &out, nullptr), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegOpenKeyEx(bad, L"x", 0, 0, &out), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegQueryValueEx(bad, L"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
        EXPECT_EQ(setNumber(bad, L"x", 1), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteValue(bad, L"x"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegDeleteKey(bad, L"x"), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegEnumKeyEx(bad, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegEnumValue(bad, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCloseKey(bad), ERROR_INVALID_HANDLE);
        EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    }

    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, L"x", 0, nullptr, 0, 0, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, L"x", 0, 0, nullptr), ERROR_INVALID_PARAMETER);
    DWORD length = 8;
    EXPECT_EQ(RegEnumKeyEx(HKEY_CURRENT_USER, 0, nullptr, &length, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegEnumValue(HKEY_CURRENT_USER, 0, nullptr, &length, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);

    // The two trees are never closed.
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(setNumber(HKEY_CURRENT_USER, L"StillOpen", 1), ERROR_SUCCESS);
}

TEST_F(Registry, AccessFollowsTheRightsAskedFor)
{
    RegCloseKey(createKey(HKEY_CURRENT_USER, L"Rights\\Existing"));
    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, L"Rights", 0, KEY_READ, &reader), ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(setNumber(reader, L"V", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(reader, L"V"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegQueryValueEx(reader, L"V", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(subkeys(reader), std::vector<std::wstring>{L"Existing"});
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyEx(reader, L"New", 0, nullptr, 0, 0, nullptr, &child, nullptr), ERROR_ACCESS_DENIED);
    ASSERT_EQ(RegCreateKeyEx(reader, L"Existing", 0, nullptr, 0, 0, nullptr, &child, nullptr), ERROR_SUCCESS);
    RegCloseKey(child);

    HKEY writer = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, L"Rights", 0, KEY_WRITE, &writer), ERROR_SUCCESS);
    EXPECT_EQ(setNumber(writer, L"V", 1), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(writer, L"V", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);

    HKEY handheld = nullptr;  // access 0, as the handheld's callers pass: everything
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, L"Rights", 0, 0, &handheld), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(handheld, L"V", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(setNumber(handheld, L"V", 2), ERROR_SUCCESS);
    for (HKEY k : {reader, writer, handheld})
        RegCloseKey(k);
}

TEST_F(Registry, UnusableFilesGiveAnErrorAndAClearText)
{
    const struct {
        const char* what;
        std::function<void(const std::string&)> make;
        DWORD error;
    } cases[] = {
        {"garbage",
         [](const std::string& path) {
             std::ofstream out(path, std::ios::binary);
             for (int i = 0; i < 500; ++i)
                 out << "this is no database, only garbage. ";
         },
         ERROR_FILE_CORRUPT},
        {"a newer registry",
         [](const std::string& path) {
             ZuSqlite db;
             ASSERT_TRUE(db.open(path));
             ASSERT_TRUE(db.exec("PRAGMA user_version=99"));
         },
         ERROR_INVALID_DATA},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ZuTestHome own;
        const std::string path = own.file("registry.db");
        c.make(path);
        HKEY key = reinterpret_cast<HKEY>(1);
        EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, L"Software", 0, nullptr, 0, 0, nullptr, &key, nullptr),
                  static_cast<LONG>(c.error));
        EXPECT_EQ(key, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
        const std::string text = ZuLastErrorText().toUtf8();
        EXPECT_NE(text.find("registry file cannot be used"), std::string::npos) << text;
        EXPECT_NE(text.find(path), std::string::npos) << text;
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueEx(HKEY_CURRENT_USER, L"V", nullptr, nullptr, nullptr, &size), static_cast<LONG>(c.error));

        // A failure is not remembered: once the file is gone, a new registry is made.
        ASSERT_EQ(std::remove(path.c_str()), 0);
        std::remove((path + "-wal").c_str());
        std::remove((path + "-shm").c_str());
        EXPECT_EQ(setNumber(HKEY_CURRENT_USER, L"V", 1), ERROR_SUCCESS);
    }
}

TEST_F(Registry, FileIsPrivateToItsOwner)
{
    ASSERT_EQ(setNumber(HKEY_CURRENT_USER, L"V", 1), ERROR_SUCCESS);
    for (const char* name : {"registry.db", "registry.db-wal", "registry.db-shm"}) {
        struct stat st {};
        ASSERT_EQ(::stat(home.file(name).c_str(), &st), 0) << name;
        EXPECT_EQ(st.st_mode & 0777, 0600u) << name;
    }
}

TEST_F(Registry, HandlesBelongToTheFileTheyWereOpenedIn)
{
    HKEY first = createKey(HKEY_CURRENT_USER, L"Software");
    ASSERT_EQ(setNumber(first, L"Where", 1), ERROR_SUCCESS);
    {
        ZuTestHome other;
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueEx(first, L"Where", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
        HKEY second = createKey(HKEY_CURRENT_USER, L"Software");
        EXPECT_EQ(RegQueryValueEx(second, L"Where", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
        RegCloseKey(second);
    }
    EXPECT_EQ(readValue(first, L"Where").second.size(), 4u);  // its own file again
    EXPECT_EQ(RegCloseKey(first), ERROR_SUCCESS);
}

namespace {

// Sets or unsets an environment variable for its lifetime and puts the old value back after.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : m_name(name)
    {
        if (const char* old = std::getenv(name)) {
            m_old = old;
            m_hadOld = true;
        }
        set(value);
    }
    ~ScopedVariable() { set(m_hadOld ? m_old.c_str() : nullptr); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    void set(const char* value)
    {
        if (value)
            ::setenv(m_name, value, 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::string m_old;
    bool m_hadOld = false;
};

} // namespace

TEST_F(Registry, TheFileFollowsWhicheverVariableNamesTheDataFolder)
{
    struct Case {
        const char* variable;
        const char* below;  // where the data folder lies under the variable's folder
    };
    for (const Case& c : {Case{"XDG_DATA_HOME", "/zupims"}, Case{"HOME", "/.local/share/zupims"}}) {
        SCOPED_TRACE(c.variable);
        const std::string first = home.path() + "/" + c.variable + "-1";
        ScopedVariable own("ZUPIMS_HOME", nullptr);
        ScopedVariable xdg("XDG_DATA_HOME", nullptr);
        ScopedVariable chosen(c.variable, first.c_str());
        HKEY key = createKey(HKEY_CURRENT_USER, L"Software");
        ASSERT_EQ(setNumber(key, L"Where", 1), ERROR_SUCCESS);
        struct stat st {};
        EXPECT_EQ(::stat((first + c.below + "/registry.db").c_str(), &st), 0);

        const std::string second = home.path() + "/" + c.variable + "-2";
        chosen.set(second.c_str());
        DWORD size = 0;
        EXPECT_EQ(RegQueryValueEx(key, L"Where", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
        EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
        HKEY again = createKey(HKEY_CURRENT_USER, L"Software");
        EXPECT_EQ(RegQueryValueEx(again, L"Where", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(::stat((second + c.below + "/registry.db").c_str(), &st), 0);
        RegCloseKey(again);
    }
}

TEST_F(Registry, ThreadsWriteThroughOneConnection)
{
    constexpr int kThreads = 4;
    constexpr DWORD kEach = 150;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            const std::wstring path = L"Threads\\T" + std::to_wstring(t);
            for (DWORD i = 0; i < kEach; ++i) {
                HKEY key = nullptr;
                if (RegCreateKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS)
                    return;
                setNumber(key, std::to_wstring(i).c_str(), i);
                setNumber(HKEY_CURRENT_USER, (L"Shared" + std::to_wstring(t) + L"_" + std::to_wstring(i)).c_str(), i);
                RegCloseKey(key);
            }
        });
    }
    for (std::thread& t : threads)
        t.join();
    HKEY all = createKey(HKEY_CURRENT_USER, L"Threads");
    EXPECT_EQ(subkeys(all).size(), static_cast<size_t>(kThreads));
    RegCloseKey(all);
    for (int t = 0; t < kThreads; ++t) {
        HKEY key = createKey(HKEY_CURRENT_USER, (L"Threads\\T" + std::to_wstring(t)).c_str());
        EXPECT_EQ(valueNames(key).size(), kEach);
        RegCloseKey(key);
    }
    EXPECT_EQ(valueNames(HKEY_CURRENT_USER).size(), kThreads * kEach);
}

TEST_F(Registry, TwoProgramsWriteOneFile)
{
    constexpr DWORD kCount = 2000;
    HKEY key = createKey(HKEY_CURRENT_USER, L"Software\\ZuTwo");  // the file exists, in WAL mode

    ZuChildProcess helper;  // inherits ZUPIMS_HOME
    ASSERT_TRUE(helper.start(ZuTestProgramFolder() + "/platform_registry_writer", {"Helper", std::to_string(kCount)}));

    // Both start writing together once the helper is ready.
    DWORD size = 0;
    for (int waited = 0; RegQueryValueEx(key, L"HelperReady", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS; waited += 5) {
        ASSERT_LT(waited, 30000) << "the helper never got ready";
        ASSERT_FALSE(helper.waitForFinished(5)) << "the helper ended early: " << helper.err();
    }
    ASSERT_EQ(setNumber(key, L"Go", 1), ERROR_SUCCESS);
    for (DWORD i = 0; i < kCount; ++i) {
        HKEY k = createKey(HKEY_CURRENT_USER, L"Software\\ZuTwo");
        ASSERT_EQ(setNumber(k, (L"Test" + std::to_wstring(i)).c_str(), i + 100000), ERROR_SUCCESS) << i;
        if (i % 10 == 0)
            RegCloseKey(createKey(k, (L"Test" + std::to_wstring(i)).c_str()));
        RegCloseKey(k);
    }
    ASSERT_TRUE(helper.waitForFinished(120000));
    EXPECT_EQ(helper.exitCode(), 0) << helper.err();

    for (DWORD i = 0; i < kCount; ++i) {
        for (const auto& [prefix, offset] : {std::pair{L"Test", 100000u}, std::pair{L"Helper", 0u}}) {
            DWORD value = 0;
            size = sizeof(value);
            ASSERT_EQ(RegQueryValueEx(key, (prefix + std::to_wstring(i)).c_str(), nullptr, nullptr,
                                      reinterpret_cast<BYTE*>(&value), &size),
                      ERROR_SUCCESS) << i;
            EXPECT_EQ(value, i + offset);
        }
    }
    EXPECT_EQ(valueNames(key).size(), 2 * kCount + 2);  // and HelperReady and Go
    EXPECT_EQ(subkeys(key).size(), 2 * kCount / 10);
    RegCloseKey(key);
}
