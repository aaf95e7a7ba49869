// The note's byte layout: pinned byte for byte, read back, and read safely when cut or damaged.
#include "inkdata.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray hex(const char* s) { return QByteArray::fromHex(QByteArray(s).replace(' ', "")); }

// The header's worked example.
const char* const kExample =
    "5A494E4B 0100 0000 40000000"
    "0100 0000 08000000 7E040000 D0070000"
    "0200 0000 1C000000 00000000 96000000 02000000"
    "E8030000 D0070000 7E040000 D0070000";

InkNote exampleNote()
{
    InkNote n;
    n.items.emplace_back(InkStroke{0, 150, {QPoint(1000, 2000), QPoint(1150, 2000)}});
    return n;
}

TEST(InkData, WorkedExampleIsPinnedByteForByte)
{
    EXPECT_EQ(ZuWriteInk(exampleNote()).toHex(' '), hex(kExample).toHex(' '));
    InkNote read;
    ASSERT_EQ(ZuReadInk(hex(kExample), &read), InkRead::Ours);
    EXPECT_EQ(read.page, QSize(1150, 2000));
    ASSERT_EQ(read.items.size(), 1u);
    EXPECT_EQ(std::get<InkStroke>(read.items[0]), std::get<InkStroke>(exampleNote().items[0]));
}

TEST(InkData, TextBlockIsUtf16AndThePageReachesItsBottom)
{
    InkNote n;
    n.items.emplace_back(InkText{QPoint(500, 600), 1300, QString::fromUtf8("가A")});
    const QByteArray bytes = ZuWriteInk(n);
    EXPECT_EQ(bytes.toHex(' '), hex("5A494E4B 0100 0000 34000000"
                                    "0100 0000 08000000 F4010000 6C070000"      // page 500 × 1900
                                    "0300 0000 10000000 F4010000 58020000 14050000"
                                    "00AC 4100").toHex(' '));
    InkNote read;
    ASSERT_EQ(ZuReadInk(bytes, &read), InkRead::Ours);
    EXPECT_EQ(std::get<InkText>(read.items[0]).text, QString::fromUtf8("가A"));
    EXPECT_EQ(ZuWriteInk(read), bytes);
}

TEST(InkData, EmptyNoteIsNoBytes)
{
    EXPECT_TRUE(ZuWriteInk(InkNote()).isEmpty());
    InkNote read;
    EXPECT_EQ(ZuReadInk(QByteArray(), &read), InkRead::Empty);
}

TEST(InkData, UnknownSectionsKeepTheirBytesAndPlace)
{
    // Minor 7 adds tag 9 (may be skipped) between two strokes.
    QByteArray bytes = ZuWriteInk(exampleNote());
    const QByteArray unknown = hex("0900 0000 03000000 AABBCC");
    bytes.append(unknown);
    bytes.append(bytes.mid(28, 36));  // the stroke again
    bytes[6] = 7;
    const quint32 total = static_cast<quint32>(bytes.size());
    for (int i = 0; i < 4; ++i)
        bytes[8 + i] = static_cast<char>((total >> (8 * i)) & 0xFF);

    InkNote read;
    ASSERT_EQ(ZuReadInk(bytes, &read), InkRead::Ours);
    ASSERT_EQ(read.items.size(), 3u);
    EXPECT_EQ(std::get<InkUnknown>(read.items[1]).bytes, unknown);
    QByteArray again = ZuWriteInk(read);
    again[6] = 7;  // we write our own minor
    EXPECT_EQ(again, bytes);

    // Found by the fuzz target: a note of unknown sections alone, which sets no page size, was
    // written with a page of -1 × -1 that no reader takes.
    InkNote onlyUnknown;
    onlyUnknown.items.emplace_back(InkUnknown{unknown});
    InkNote back;
    ASSERT_EQ(ZuReadInk(ZuWriteInk(onlyUnknown), &back), InkRead::Ours);
    EXPECT_EQ(back.items, onlyUnknown.items);
}

TEST(InkData, WhatWeCannotReadIsForeignOrDamaged)
{
    const QByteArray good = hex(kExample);
    const auto with = [&](int at, const char* bytes) {
        QByteArray b = good;
        const QByteArray patch = hex(bytes);
        b.replace(at, patch.size(), patch);
        return b;
    };
    QByteArray mustUnderstand = good + hex("0900 0100 00000000");
    mustUnderstand[8] = static_cast<char>(mustUnderstand.size());
    const struct {
        const char* name;
        QByteArray bytes;
        InkRead expected;
    } rows[] = {
        {"major 2", with(4, "0200"), InkRead::Foreign},
        {"unknown section that must be understood", mustUnderstand, InkRead::Foreign},
        {"major 0", with(4, "0000"), InkRead::Damaged},
        {"not ZINK", with(0, "5A494E4C"), InkRead::Damaged},
        {"total longer than the bytes", with(8, "41000000"), InkRead::Damaged},
        {"section longer than the note", with(32, "FF000000"), InkRead::Damaged},
        {"point count beyond the payload", with(44, "03000000"), InkRead::Damaged},
        {"huge point count", with(44, "FFFFFFFF"), InkRead::Damaged},
        {"pen width 0", with(40, "00000000"), InkRead::Damaged},
        {"coordinate beyond the limit", with(48, "01E1F505"), InkRead::Damaged},
        {"page of 7 bytes", with(16, "07000000"), InkRead::Damaged},
        {"header only, cut", good.left(10), InkRead::Damaged},
        {"beyond 4 MiB", QByteArray(kInkMaxBytes + 1, 'Z'), InkRead::Damaged},
    };
    for (const auto& row : rows) {
        InkNote read;
        EXPECT_EQ(ZuReadInk(row.bytes, &read), row.expected) << row.name;
        EXPECT_TRUE(read.items.empty()) << row.name;
    }
}

// Every cut and every single flipped bit of a note with strokes, text and an unknown section
// reads without reading outside the bytes; what still reads writes back readable.
TEST(InkData, TruncationAndBitFlipSweep)
{
    InkNote n = exampleNote();
    n.items.emplace_back(InkText{QPoint(0, 0), 1300, QString::fromUtf8("메모 test")});
    n.items.emplace_back(InkStroke{0xFF0000, 300, {QPoint(1, 2), QPoint(3, 4), QPoint(5, 6)}});
    const QByteArray bytes = ZuWriteInk(n);
    for (qsizetype len = 0; len < bytes.size(); ++len) {
        InkNote read;
        const InkRead r = ZuReadInk(bytes.left(len), &read);
        EXPECT_TRUE(r == InkRead::Damaged || r == InkRead::Empty) << len;
    }
    for (qsizetype bit = 0; bit < bytes.size() * 8; ++bit) {
        QByteArray b = bytes;
        b[bit / 8] = static_cast<char>(b[bit / 8] ^ (1 << (bit % 8)));
        InkNote read;
        if (ZuReadInk(b, &read) == InkRead::Ours) {
            InkNote again;
            EXPECT_EQ(ZuReadInk(ZuWriteInk(read), &again), InkRead::Ours) << bit;
            EXPECT_EQ(again.items, read.items) << bit;
        }
    }
    std::mt19937 rng(17);
    for (int i = 0; i < 2000; ++i) {
        QByteArray b = bytes;
        for (int k = 0; k < 4; ++k)
            b[rng() % b.size()] = static_cast<char>(rng());
        InkNote read;
        (void)ZuReadInk(b, &read);
    }
}

} // namespace
