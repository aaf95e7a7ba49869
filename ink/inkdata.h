// inkdata.h - a handwritten note as data: strokes, text blocks and the sections we do not know,
// and the one byte string ("ZINK") a note is stored as.
//
// The note property of a record holds these bytes as they stand; nothing else in the suite looks
// inside them. Needs Qt Core only.
//
// Layout (little-endian throughout; sizes in bytes):
//
//   offset  size  field
//   0       4     magic "ZINK" (5A 49 4E 4B)
//   4       2     major version, 1. A higher major means the whole note is foreign: it is shown
//                 as a placeholder and handed back byte for byte.
//   6       2     minor version, 0. A higher minor is read as ours; sections it added that we
//                 do not know are kept and written back byte for byte in their place.
//   8       4     total length of the note, header included; must equal the byte count.
//   12      ...   sections, one after the other up to the total length:
//                   +0  2  tag
//                   +2  2  flags; bit 0 "must understand": a reader that does not know the tag
//                          must not show or edit the note (it is then foreign)
//                   +4  4  payload length L
//                   +8  L  payload
//
//   tag 1 page size, L = 8:   width, height (int32, 1/100 px) of the written area
//   tag 2 stroke, L = 12 + 8n: colour (COLORREF 0x00BBGGRR), pen width (uint32, 1/100 px, 1 to
//                             10000), point count n (uint32, at least 1), then n points x, y
//                             (int32, 1/100 px)
//   tag 3 text block, L = 12 + 2k: x, y of its top left (int32, 1/100 px), character height
//                             (int32, 1/100 px, 1 to 20000), then k UTF-16LE code units
//
// Coordinates lie within ±kInkCoordLimit. A note of more than kInkMaxBytes is not read (foreign).
// The written note always starts with its page size: the stored area grown to reach every
// stroke point and the bottom left of every text block. An empty note is no bytes at all.
//
// Worked example: one black stroke 1.5 px wide from (10, 20) to (11.5, 20) px, no text. The page
// reaches the furthest point, 11.5 × 20 px. 12 + 16 + 36 = 64 bytes:
//
//   5A 49 4E 4B  01 00  00 00  40 00 00 00                 "ZINK" 1.0, 64 bytes
//   01 00  00 00  08 00 00 00  7E 04 00 00  D0 07 00 00    page 1150 × 2000
//   02 00  00 00  1C 00 00 00                              stroke, 28 bytes:
//   00 00 00 00  96 00 00 00  02 00 00 00                    colour 0, width 150, 2 points
//   E8 03 00 00  D0 07 00 00  7E 04 00 00  D0 07 00 00       (1000, 2000), (1150, 2000)
#pragma once

#include "wintypes.h"

#include <QByteArray>
#include <QPoint>
#include <QRect>
#include <QString>

#include <variant>
#include <vector>

constexpr quint16 kInkMajor = 1;
constexpr quint16 kInkMinor = 0;
constexpr int kInkHeaderSize = 12;
constexpr int kInkSectionHeaderSize = 8;
constexpr qsizetype kInkMaxBytes = 4 * 1024 * 1024;  // 4 MiB: a note beyond it is not ours
constexpr qint32 kInkCoordLimit = 100'000'000;       // 1,000,000 px either way
constexpr quint32 kInkMaxWidth = 10'000;             // 100 px
constexpr qint32 kInkMaxTextHeight = 20'000;         // 200 px

enum InkTag : quint16 { kInkTagPage = 1, kInkTagStroke = 2, kInkTagText = 3 };
constexpr quint16 kInkMustUnderstand = 0x0001;

// A line drawn with the pen, its points in 1/100 px.
struct InkStroke {
    COLORREF colour = 0;
    quint32 width = 150;
    std::vector<QPoint> points;
    bool operator==(const InkStroke&) const = default;
};

// Typed text with its top left corner and character height in 1/100 px.
struct InkText {
    QPoint at;
    qint32 height = 1300;
    QString text;
    bool operator==(const InkText&) const = default;
};

// A section of a tag we do not know, kept as its whole bytes (header included).
struct InkUnknown {
    QByteArray bytes;
    bool operator==(const InkUnknown&) const = default;
};

using InkItem = std::variant<InkStroke, InkText, InkUnknown>;

// What reading a note gave.
enum class InkRead {
    Empty,    // no bytes
    Ours,     // read; the items hold it
    Foreign,  // another major version or a section we must understand but do not
    Damaged,  // not a note of this layout, cut short, or beyond the bounds
};

struct InkNote {
    QSize page{0, 0};            // the written area as stored (1/100 px); grown when written
    std::vector<InkItem> items;  // in stored order; unknown sections keep their place

    bool empty() const { return items.empty(); }
    bool operator==(const InkNote&) const = default;
};

// Reads the bytes into *note (cleared first; left empty unless Ours). Never reads outside them.
InkRead ZuReadInk(const QByteArray& bytes, InkNote* note);
// The note's bytes: empty for an empty note.
QByteArray ZuWriteInk(const InkNote& note);
// How many bytes one item takes in a written note.
qsizetype ZuInkItemSize(const InkItem& item);

// The extent of a stroke's points (1/100 px, widened by its pen); an empty rectangle for
// anything else (a text block's extent needs its font: the window measures it).
QRect ZuInkStrokeBounds(const InkStroke& stroke);
// Moves a stroke or text block by the offset (1/100 px), kept inside the coordinate limit.
void ZuInkMoveItem(InkItem& item, QPoint offset);
