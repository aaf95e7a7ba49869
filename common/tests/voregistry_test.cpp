#include "voregistry.h"

#include "lasterror.h"
#include "testhome.h"

#include <fstream>
#include <gtest/gtest.h>
#include <vector>

namespace {

class VORegistry : public ::testing::Test {
protected:
    ZuTestHome home;
};

const wchar_t* const kKey = L"Software\\ZuPims\\Test";

std::vector<CString> allSubkeys(CVORegistry& reg)
{
    std::vector<CString> names;
    CString name;
    for (int ok = reg.GetFirstSubkey(name); ok; ok = reg.GetNextSubkey(name))
        names.push_back(name);
    EXPECT_TRUE(name.IsEmpty());
    return names;
}

std::vector<CString> allValues(CVORegistry& reg)
{
    std::vector<CString> names;
    CString name;
    for (int ok = reg.GetFirstValue(name); ok; ok = reg.GetNextValue(name))
        names.push_back(name);
    return names;
}

} // namespace

TEST_F(VORegistry, ReadDWORDStoresTheDefaultUnlessItIsTheReservedOne)
{
    CVORegistry reg(HKEY_CURRENT_USER, kKey, 1);
    ASSERT_NE(static_cast<HKEY>(reg), nullptr);
    EXPECT_EQ(reg.GetDisposition(), REG_CREATED_NEW_KEY);

    EXPECT_EQ(reg.ReadDWORD(L"Days", 5), 5u);
    EXPECT_TRUE(reg.ValueExists(L"Days"));
    EXPECT_EQ(reg.ReadDWORD(L"Days", 9), 5u);  // the stored 5 now wins

    EXPECT_EQ(reg.ReadDWORD(L"Unset", CVORegistry::kUnstoredDefault), 57072u);
    EXPECT_FALSE(reg.ValueExists(L"Unset"));

    // A value of another kind is not a number: the default replaces it.
    BYTE three[3] = {1, 2, 3};
    ASSERT_TRUE(reg.WriteBinary(L"Odd", three, 3));
    EXPECT_EQ(reg.ReadDWORD(L"Odd", 8), 8u);
    EXPECT_EQ(reg.ReadDWORD(L"Odd", 1), 8u);

    EXPECT_FALSE(reg.WriteDWORD(nullptr, 1));
    EXPECT_EQ(reg.ReadDWORD(nullptr, 4), 4u);
    EXPECT_EQ(CVORegistry(HKEY_CURRENT_USER, kKey, 0).GetDisposition(), 0u);
}

TEST_F(VORegistry, ReadStringStoresANonNullDefault)
{
    CVORegistry reg(HKEY_CURRENT_USER, kKey, 1);
    EXPECT_EQ(reg.ReadString(L"Title", L"일정"), CString(L"일정"));
    EXPECT_EQ(reg.ReadString(L"Title", L"other"), CString(L"일정"));

    EXPECT_EQ(reg.ReadString(L"NoDefault", nullptr), CString(L""));
    EXPECT_FALSE(reg.ValueExists(L"NoDefault"));
    EXPECT_EQ(reg.ReadString(nullptr, L"x"), CString(L""));

    const std::wstring longText(1000, L'가');
    ASSERT_TRUE(reg.WriteString(L"Long", longText.c_str()));
    EXPECT_EQ(reg.ReadString(L"long", nullptr).str(), longText);
    ASSERT_TRUE(reg.WriteString(L"Empty", L""));
    EXPECT_EQ(reg.ReadString(L"Empty", L"not used"), CString(L""));

    BYTE out[8] = {};
    DWORD size = 2;
    BYTE in[4] = {9, 8, 7, 6};
    ASSERT_TRUE(reg.WriteBinary(L"Bytes", in, 4));
    EXPECT_FALSE(reg.ReadBinary(L"Bytes", out, &size));
    EXPECT_EQ(size, 4u);  // too small: the size needed
    size = sizeof(out);
    ASSERT_TRUE(reg.ReadBinary(L"BYTES", out, &size));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(out[3], 6);
    EXPECT_FALSE(reg.ReadBinary(L"Bytes", nullptr, &size));
    EXPECT_FALSE(reg.ReadBinary(L"Bytes", out, nullptr));
}

TEST_F(VORegistry, CloseReportsWhetherAKeyWasOpen)
{
    CVORegistry reg(HKEY_CURRENT_USER, kKey, 1);
    EXPECT_EQ(reg.Close(), 1);
    EXPECT_EQ(reg.Close(), 0);
    EXPECT_EQ(static_cast<HKEY>(reg), nullptr);
}

TEST_F(VORegistry, ObjectsWithoutAKeyFailQuietly)
{
    CVORegistry reg(HKEY_CURRENT_USER, L"Software\\Missing", 0);
    ASSERT_EQ(static_cast<HKEY>(reg), nullptr);
    CString name(L"left");
    BYTE buffer[4];
    DWORD size = 4;
    EXPECT_EQ(reg.ReadDWORD(L"N", 3), 3u);
    EXPECT_EQ(reg.ReadString(L"S", L"d"), CString(L"d"));
    EXPECT_FALSE(reg.WriteDWORD(L"N", 1));
    EXPECT_FALSE(reg.WriteString(L"S", L"x"));
    EXPECT_FALSE(reg.ReadBinary(L"B", buffer, &size));
    EXPECT_FALSE(reg.WriteBinary(L"B", buffer, 4));
    EXPECT_FALSE(reg.DeleteValue(L"N"));
    EXPECT_FALSE(reg.ValueExists(L"N"));
    EXPECT_FALSE(reg.SubkeyExists(L"K"));
    EXPECT_FALSE(reg.DeleteSubkey(L"K"));
    EXPECT_FALSE(reg.GetFirstSubkey(name));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_FALSE(reg.GetFirstValue(name));
    EXPECT_FALSE(reg.Close());
    // Opening did not make the key.
    EXPECT_FALSE(CVORegistry(HKEY_CURRENT_USER, L"Software", 1).SubkeyExists(L"Missing"));
}

TEST_F(VORegistry, DeleteSubkeyRemovesTheWholeTree)
{
    CVORegistry reg(HKEY_CURRENT_USER, kKey, 1);
    for (const wchar_t* path : {L"Tree\\A\\A1\\Deep", L"Tree\\A\\A2", L"Tree\\B", L"Keep\\C"}) {
        CVORegistry sub(reg, path, 1);
        ASSERT_TRUE(sub.WriteDWORD(L"V", 1));
    }
    EXPECT_TRUE(reg.DeleteSubkey(L"tree"));
    EXPECT_FALSE(reg.SubkeyExists(L"Tree"));
    EXPECT_EQ(allSubkeys(reg), std::vector<CString>{CString(L"Keep")});
    EXPECT_TRUE(reg.SubkeyExists(L"Keep\\C"));

    // A tree made again starts empty: nothing of the old one is left behind.
    CVORegistry again(reg, L"Tree\\A", 1);
    EXPECT_EQ(again.GetDisposition(), REG_CREATED_NEW_KEY);
    EXPECT_FALSE(again.ValueExists(L"V"));
    EXPECT_FALSE(again.SubkeyExists(L"A1"));

    EXPECT_FALSE(reg.DeleteSubkey(L"Nothing"));
    EXPECT_FALSE(reg.DeleteSubkey(nullptr));
}

TEST_F(VORegistry, CopiesOwnTheirHandles)
{
    const std::size_t before = ZuRegOpenHandleCount();
    {
        CVORegistry original(HKEY_CURRENT_USER, kKey, 1);
        ASSERT_TRUE(original.WriteDWORD(L"N", 42));
        CVORegistry other(HKEY_CURRENT_USER, L"Software\\Other", 1);
        ASSERT_TRUE(other.WriteDWORD(L"N", 7));
        CVORegistry empty(HKEY_CURRENT_USER, L"Software\\Missing", 0);
        EXPECT_EQ(ZuRegOpenHandleCount(), before + 2);

        CVORegistry copy(original);
        EXPECT_NE(static_cast<HKEY>(copy), static_cast<HKEY>(original));
        EXPECT_EQ(ZuRegOpenHandleCount(), before + 3);
        original.Close();
        EXPECT_EQ(copy.ReadDWORD(L"N", 0), 42u);  // the copy's handle outlives the original's

        copy = other;
        EXPECT_EQ(copy.ReadDWORD(L"N", 0), 7u);
        EXPECT_EQ(copy.GetDisposition(), REG_CREATED_NEW_KEY);
        const CVORegistry& same = copy;
        copy = same;
        EXPECT_EQ(copy.ReadDWORD(L"N", 0), 7u);
        EXPECT_EQ(ZuRegOpenHandleCount(), before + 2);

        copy = empty;
        EXPECT_EQ(static_cast<HKEY>(copy), nullptr);
        CVORegistry fromEmpty(empty);
        EXPECT_EQ(static_cast<HKEY>(fromEmpty), nullptr);
        EXPECT_EQ(ZuRegOpenHandleCount(), before + 1);
    }
    EXPECT_EQ(ZuRegOpenHandleCount(), before);
}

TEST_F(VORegistry, EnumeratesSubkeysAndValuesWithoutRegardToCase)
{
    CVORegistry reg(HKEY_CURRENT_USER, kKey, 1);
    for (const wchar_t* k : {L"Work", L"family", L"Friends"})
        CVORegistry(reg, k, 1);
    for (const wchar_t* v : {L"Width", L"height", L"Left"})
        ASSERT_TRUE(reg.WriteDWORD(v, 1));

    EXPECT_EQ(allSubkeys(reg), (std::vector<CString>{L"family", L"Friends", L"Work"}));
    EXPECT_EQ(allValues(reg), (std::vector<CString>{L"Width", L"height", L"Left"}));
    CString name;
    EXPECT_TRUE(reg.GetSubkey(name, 2));
    EXPECT_EQ(name, CString(L"Work"));
    EXPECT_FALSE(reg.GetSubkey(name, 3));
    EXPECT_TRUE(name.IsEmpty());
    EXPECT_FALSE(reg.GetSubkey(name, -1));
    EXPECT_TRUE(reg.GetSubkey(name, 0));
    EXPECT_TRUE(reg.GetNextSubkey(name));  // continues from the index GetSubkey set
    EXPECT_EQ(name, CString(L"Friends"));

    EXPECT_TRUE(reg.SubkeyExists(L"WORK"));
    EXPECT_NE(static_cast<HKEY>(CVORegistry(HKEY_CURRENT_USER, L"software\\zupims\\test\\FAMILY", 0)), nullptr);
    EXPECT_EQ(reg.ReadDWORD(L"WIDTH", 0), 1u);
    EXPECT_TRUE(reg.DeleteValue(L"LEFT"));
    EXPECT_FALSE(reg.ValueExists(L"Left"));
    EXPECT_EQ(allValues(reg).size(), 2u);
}

TEST_F(VORegistry, AKeyDeletedUnderneathGivesDefaults)
{
    CVORegistry reg(HKEY_CURRENT_USER, kKey, 1);
    ASSERT_TRUE(reg.WriteDWORD(L"N", 1));
    ASSERT_TRUE(CVORegistry(HKEY_CURRENT_USER, L"Software\\ZuPims", 0).DeleteSubkey(L"Test"));
    EXPECT_EQ(reg.ReadDWORD(L"N", 6), 6u);
    EXPECT_FALSE(reg.WriteDWORD(L"N", 2));
    EXPECT_EQ(reg.ReadString(L"S", L"d"), CString(L"d"));
    EXPECT_FALSE(reg.ValueExists(L"N"));
    EXPECT_EQ(reg.Close(), 1);
}

TEST_F(VORegistry, ACorruptRegistryFileGivesDefaults)
{
    {
        std::ofstream out(home.file("registry.db"), std::ios::binary);
        for (int i = 0; i < 300; ++i)
            out << "\x01garbage\xff not a database ";
    }
    CVORegistry reg(HKEY_CURRENT_USER, kKey, 1);
    EXPECT_EQ(static_cast<HKEY>(reg), nullptr);
    EXPECT_EQ(reg.GetDisposition(), 0u);
    EXPECT_EQ(reg.ReadDWORD(L"N", 5), 5u);
    EXPECT_FALSE(reg.WriteString(L"S", L"x"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_CORRUPT);
}
