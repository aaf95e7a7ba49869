// autofont.h - a font that keeps its logical description and a colour.
//
// The font text (ContractFont writes it, ExtractFont reads it) is
//     "%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%s"
// height, width, escapement, orientation, weight, italic, underline, strike-out, character set,
// output precision, clip precision, quality, pitch and family, red, green, blue, face name.
// Example: the default font, black: "12,0,0,0,400,0,0,0,0,0,0,0,18,0,0,0,Tahoma".
//
// Reading takes each number up to the next comma and the rest of the text, commas and all, as the
// face, cut to 31 characters. A text with fewer than sixteen commas, a field that is not a whole
// number, or a number out of its field's range (0 to 255 for the one-byte fields and the colour)
// is malformed: ExtractFont then changes nothing and returns FALSE.
//
// Default: "Tahoma", height 12, weight 400, pitch and family 18, black; the form that takes a face
// name uses height 16. The font is drawn as zufont.h maps it (Tahoma in the Korean font).
#pragma once

#include "cstring.h"
#include "wintypes.h"
#include "zufont.h"

#include <QFont>

class CAutoFont {
public:
    CAutoFont();
    explicit CAutoFont(const wchar_t* faceName);

    // The font the description gives.
    QFont GetFont() const { return ZuFontFromLogFont(m_lf); }
    operator QFont() const { return GetFont(); }

    void SetHeight(LONG v) { m_lf.lfHeight = v; }
    LONG GetHeight() const { return m_lf.lfHeight; }
    void SetWidth(LONG v) { m_lf.lfWidth = v; }
    LONG GetWidth() const { return m_lf.lfWidth; }
    void SetEscapement(LONG v) { m_lf.lfEscapement = v; }
    LONG GetEscapement() const { return m_lf.lfEscapement; }
    void SetOrientation(LONG v) { m_lf.lfOrientation = v; }
    LONG GetOrientation() const { return m_lf.lfOrientation; }
    void SetWeight(LONG v) { m_lf.lfWeight = v; }
    LONG GetWeight() const { return m_lf.lfWeight; }
    void SetCharSet(BYTE v) { m_lf.lfCharSet = v; }
    BYTE GetCharSet() const { return m_lf.lfCharSet; }
    void SetOutPrecision(BYTE v) { m_lf.lfOutPrecision = v; }
    BYTE GetOutPrecision() const { return m_lf.lfOutPrecision; }
    void SetClipPrecision(BYTE v) { m_lf.lfClipPrecision = v; }
    BYTE GetClipPrecision() const { return m_lf.lfClipPrecision; }
    void SetQuality(BYTE v) { m_lf.lfQuality = v; }
    BYTE GetQuality() const { return m_lf.lfQuality; }
    void SetPitchAndFamily(BYTE v) { m_lf.lfPitchAndFamily = v; }
    BYTE GetPitchAndFamily() const { return m_lf.lfPitchAndFamily; }

    void SetBold(BOOL on) { m_lf.lfWeight = on ? FW_BOLD : FW_NORMAL; }
    BOOL GetBold() const { return m_lf.lfWeight >= FW_BOLD; }
    void SetItalic(BOOL on) { m_lf.lfItalic = on ? 1 : 0; }
    BOOL GetItalic() const { return m_lf.lfItalic != 0; }
    void SetUnderline(BOOL on) { m_lf.lfUnderline = on ? 1 : 0; }
    BOOL GetUnderline() const { return m_lf.lfUnderline != 0; }
    void SetStrikeOut(BOOL on) { m_lf.lfStrikeOut = on ? 1 : 0; }
    BOOL GetStrikeOut() const { return m_lf.lfStrikeOut != 0; }
    // Cut to 31 characters.
    void SetFaceName(const wchar_t* face) { ZuSetFaceName(m_lf, face); }
    CString GetFaceName() const;
    void SetLogFont(const LOGFONT& lf);
    const LOGFONT& GetLogFont() const { return m_lf; }

    void SetColour(COLORREF c) { m_colour = c; }
    COLORREF GetColour() const { return m_colour; }
    BYTE GetRedValue() const { return GetRValue(m_colour); }
    BYTE GetGreenValue() const { return GetGValue(m_colour); }
    BYTE GetBlueValue() const { return GetBValue(m_colour); }

    void SetAntialiasQuality() { m_lf.lfQuality = ANTIALIASED_QUALITY; }
    void SetNonAntialiasQuality() { m_lf.lfQuality = NONANTIALIASED_QUALITY; }

    // The font text of the description and colour.
    CString ContractFont() const;
    // Reads a font text; FALSE, and nothing changed, for a malformed one.
    BOOL ExtractFont(const wchar_t* text);

private:
    LOGFONT m_lf;
    COLORREF m_colour = RGB(0, 0, 0);
};
