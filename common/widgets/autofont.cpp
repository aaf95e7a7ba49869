#include "autofont.h"

#include <algorithm>
#include <cwchar>
#include <limits>

namespace {
constexpr int kNumbers = 16;  // the fields before the face

// A whole number, optionally signed, spanning [first, last) exactly.
bool parseNumber(const wchar_t* first, const wchar_t* last, long long* out)
{
    if (first == last)
        return false;
    bool negative = false;
    if (*first == L'-' || *first == L'+') {
        negative = *first == L'-';
        ++first;
    }
    if (first == last)
        return false;
    long long v = 0;
    for (; first != last; ++first) {
        if (*first < L'0' || *first > L'9')
            return false;
        v = v * 10 + (*first - L'0');
        if (v > std::numeric_limits<LONG>::max())
            return false;
    }
    *out = negative ? -v : v;
    return true;
}

bool isLong(long long v) { return v >= std::numeric_limits<LONG>::min() && v <= std::numeric_limits<LONG>::max(); }
bool isByte(long long v) { return v >= 0 && v <= 255; }
}  // namespace

CAutoFont::CAutoFont()
{
    m_lf.lfHeight = 12;
    m_lf.lfWeight = FW_NORMAL;
    m_lf.lfPitchAndFamily = 18;
    ZuSetFaceName(m_lf, L"Tahoma");
}

CAutoFont::CAutoFont(const wchar_t* faceName) : CAutoFont()
{
    m_lf.lfHeight = 16;
    ZuSetFaceName(m_lf, faceName);
}

CString CAutoFont::GetFaceName() const
{
    return CString(m_lf.lfFaceName, static_cast<int>(wcsnlen(m_lf.lfFaceName, LF_FACESIZE - 1)));
}

void CAutoFont::SetLogFont(const LOGFONT& lf)
{
    m_lf = lf;
    m_lf.lfFaceName[LF_FACESIZE - 1] = L'\0';
}

CString CAutoFont::ContractFont() const
{
    CString s;
    s.Format(L"%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%i,%s", static_cast<int>(m_lf.lfHeight),
             static_cast<int>(m_lf.lfWidth), static_cast<int>(m_lf.lfEscapement), static_cast<int>(m_lf.lfOrientation),
             static_cast<int>(m_lf.lfWeight), m_lf.lfItalic, m_lf.lfUnderline, m_lf.lfStrikeOut, m_lf.lfCharSet,
             m_lf.lfOutPrecision, m_lf.lfClipPrecision, m_lf.lfQuality, m_lf.lfPitchAndFamily, GetRValue(m_colour),
             GetGValue(m_colour), GetBValue(m_colour), static_cast<const wchar_t*>(GetFaceName()));
    return s;
}

BOOL CAutoFont::ExtractFont(const wchar_t* text)
{
    if (!text)
        return FALSE;
    const wchar_t* p = text;
    const wchar_t* end = text + wcslen(text);
    long long v[kNumbers];
    for (int i = 0; i < kNumbers; ++i) {
        const wchar_t* comma = std::find(p, end, L',');
        if (comma == end || !parseNumber(p, comma, &v[i]))
            return FALSE;  // too few fields, or one that is no number
        p = comma + 1;
    }
    for (int i = 0; i < 5; ++i)
        if (!isLong(v[i]))
            return FALSE;
    for (int i = 5; i < kNumbers; ++i)
        if (!isByte(v[i]))
            return FALSE;

    LOGFONT lf;
    lf.lfHeight = static_cast<LONG>(v[0]);
    lf.lfWidth = static_cast<LONG>(v[1]);
    lf.lfEscapement = static_cast<LONG>(v[2]);
    lf.lfOrientation = static_cast<LONG>(v[3]);
    lf.lfWeight = static_cast<LONG>(v[4]);
    lf.lfItalic = static_cast<BYTE>(v[5]);
    lf.lfUnderline = static_cast<BYTE>(v[6]);
    lf.lfStrikeOut = static_cast<BYTE>(v[7]);
    lf.lfCharSet = static_cast<BYTE>(v[8]);
    lf.lfOutPrecision = static_cast<BYTE>(v[9]);
    lf.lfClipPrecision = static_cast<BYTE>(v[10]);
    lf.lfQuality = static_cast<BYTE>(v[11]);
    lf.lfPitchAndFamily = static_cast<BYTE>(v[12]);
    const std::wstring face(p, end);
    ZuSetFaceName(lf, face.c_str());
    m_lf = lf;
    m_colour = RGB(static_cast<BYTE>(v[13]), static_cast<BYTE>(v[14]), static_cast<BYTE>(v[15]));
    return TRUE;
}
