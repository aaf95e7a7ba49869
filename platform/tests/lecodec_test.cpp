#include "lecodec.h"

#include <gtest/gtest.h>

TEST(LeCodec, TheHeaderExampleRoundTrips)
{
    ZuLeWriter w;
    w.u16(0x3004);
    w.u32(7);
    w.utf16(u"가");
    EXPECT_EQ(w.bytes(), std::string("\x04\x30\x07\x00\x00\x00\x00\xAC", 8));
    ZuLeReader r(w.data(), w.size());
    EXPECT_EQ(r.u16(), 0x3004);
    EXPECT_EQ(r.u32(), 7u);
    EXPECT_EQ(r.utf16(1), u"가");
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.u8(), 0);
    EXPECT_FALSE(r.ok());
}

TEST(LeCodec, ReadsPastTheEndAreZeroAndSaidSo)
{
    const BYTE b[] = {0x11, 0x22, 0x33};
    ZuLeReader r(b, sizeof b);
    EXPECT_EQ(r.u16At(1), 0x3322);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.u32At(1), 0x3322u);  // the two missing bytes read as 0
    EXPECT_FALSE(r.ok());
    ZuLeReader far(b, sizeof b);
    EXPECT_EQ(far.u64At(SIZE_MAX - 2), 0u);  // an offset near the top does not wrap round
    EXPECT_FALSE(far.ok());
    ZuLeReader none(nullptr, 99);
    EXPECT_EQ(none.size(), 0u);
    EXPECT_EQ(none.u32(), 0u);
    EXPECT_EQ(none.bytes(4), "");
    EXPECT_FALSE(none.ok());
}

TEST(LeCodec, SignedAndWideValues)
{
    ZuLeWriter w;
    w.u64(0x0102030405060708ull);
    w.u16(static_cast<std::uint16_t>(-2));
    w.u32(static_cast<std::uint32_t>(-3));
    EXPECT_EQ(w.bytes().substr(0, 8), std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
    ZuLeReader r(w.data(), w.size());
    EXPECT_EQ(r.u64(), 0x0102030405060708ull);
    EXPECT_EQ(r.i16(), -2);
    EXPECT_EQ(r.i32(), -3);
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_TRUE(r.ok());
}

TEST(LeCodec, WritesAtAnOffsetFillTheGapWithZeros)
{
    ZuLeWriter w(4);
    w.u16At(6, 0xBEEF);
    w.u8At(0, 0x7F);
    EXPECT_EQ(w.bytes(), std::string("\x7F\0\0\0\0\0\xEF\xBE", 8));
}

TEST(LeCodec, TerminatedTexts)
{
    ZuLeWriter w;
    w.utf16(u"ab");
    w.u16(0);
    w.utf16(u"c");  // no terminator
    ZuLeReader r(w.data(), w.size());
    std::u16string s;
    ASSERT_TRUE(r.utf16z(&s));
    EXPECT_EQ(s, u"ab");
    EXPECT_EQ(r.pos(), 6u);
    EXPECT_FALSE(r.utf16z(&s));
    EXPECT_EQ(r.pos(), 6u);
    EXPECT_FALSE(r.ok());
    // A terminator beyond the given end does not count.
    ZuLeReader bounded(w.data(), w.size());
    EXPECT_FALSE(bounded.utf16z(&s, 4));
    // An odd trailing byte is never half a unit.
    const BYTE odd[] = {'a', 0, 0};
    ZuLeReader o(odd, sizeof odd);
    EXPECT_FALSE(o.utf16z(&s));
}

TEST(LeCodec, Utf16LeBytesAndUnits)
{
    const std::u16string units = u"한글\U0001F600";
    const std::string bytes = ZuUtf16LeBytes(units);
    ASSERT_EQ(bytes.size(), units.size() * 2);
    EXPECT_EQ(bytes.substr(0, 2), std::string("\x5C\xD5", 2));
    EXPECT_EQ(ZuUtf16LeUnits(bytes.data(), bytes.size()), units);
    EXPECT_EQ(ZuUtf16LeUnits(bytes.data(), 3), u"한");
    EXPECT_EQ(ZuUtf16LeUnits(nullptr, 4), u"");
    const auto* raw = reinterpret_cast<const BYTE*>(bytes.data());
    EXPECT_EQ(ZuUtf16LeUnitAt(raw, 0), u'한');
    EXPECT_EQ(ZuUtf16LeUnitAt(raw, 3), 0xDE00);
}
