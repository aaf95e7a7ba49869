// zufont.h - the fonts the suite's controls draw with.
//
// The handheld's screens ask for "Tahoma" (and its Korean faces "굴림" and "돋움") at pixel
// heights; this system draws them in the Korean font the suite ships with, NanumGothic
// (fonts-nanum), so Hangul and Latin text are measured and drawn as the user sees them. Other
// faces are asked for as they are named; the font system substitutes when it has none.
//
// Heights are pixel heights, as the handheld's logical fonts give them: a negative height (the
// character height) and a positive one (the cell height) both become that many pixels. Weights
// are the handheld's 0 to 1000 scale (400 normal, 700 bold; 0 means normal).
#pragma once

#include "cstring.h"
#include "wintypes.h"

#include <QFont>

// The handheld's logical font description (a face of at most 31 characters).
constexpr int LF_FACESIZE = 32;
constexpr LONG FW_NORMAL = 400;
constexpr LONG FW_BOLD = 700;
constexpr BYTE NONANTIALIASED_QUALITY = 3;
constexpr BYTE ANTIALIASED_QUALITY = 4;

struct LOGFONT {
    LONG lfHeight = 0;             // pixels; the sign says character (−) or cell (+) height
    LONG lfWidth = 0;              // average character width; 0 lets the face decide
    LONG lfEscapement = 0;         // tenths of a degree
    LONG lfOrientation = 0;        // tenths of a degree
    LONG lfWeight = 0;             // 0 to 1000
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;            // NONANTIALIASED_QUALITY switches smoothing off
    BYTE lfPitchAndFamily = 0;
    WCHAR lfFaceName[LF_FACESIZE] = {};  // null-terminated
};

// The family a face is drawn in: "NanumGothic" for "Tahoma", an empty face and the handheld's
// Korean system faces; the face itself otherwise.
QString ZuFontFamily(const QString& face);

// The font of that face at pixelHeight pixels (its absolute value) and weight.
QFont ZuFont(const QString& face, int pixelHeight, int weight = FW_NORMAL);
QFont ZuFont(const wchar_t* face, int pixelHeight, int weight = FW_NORMAL);

// The font a logical font describes: face, height, weight, italic, underline, strike-out and
// quality.
QFont ZuFontFromLogFont(const LOGFONT& lf);

// Copies a face into lf.lfFaceName, cut to 31 characters.
void ZuSetFaceName(LOGFONT& lf, const wchar_t* face);
