#include "cstring.h"

#include <cstdarg>
#include <cwchar>
#include <cwctype>
#include <vector>

CString CString::fromUtf8(std::string_view s)
{
    return fromQString(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())));
}

std::string CString::toUtf8() const
{
    return toQString().toStdString();
}

CString CString::Left(int n) const
{
    if (n <= 0)
        return {};
    return CString(m_s.substr(0, static_cast<size_t>(n)));
}

CString CString::Right(int n) const
{
    if (n <= 0)
        return {};
    if (n >= GetLength())
        return *this;
    return CString(m_s.substr(m_s.size() - static_cast<size_t>(n)));
}

CString CString::Mid(int first) const
{
    if (first < 0)
        first = 0;
    if (first >= GetLength())
        return {};
    return CString(m_s.substr(static_cast<size_t>(first)));
}

CString CString::Mid(int first, int n) const
{
    if (first < 0)
        first = 0;
    if (n <= 0 || first >= GetLength())
        return {};
    return CString(m_s.substr(static_cast<size_t>(first), static_cast<size_t>(n)));
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start >= GetLength())
        return -1;
    const size_t at = m_s.find(ch, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (!sub || start < 0 || start > GetLength())
        return -1;
    const size_t at = m_s.find(sub, static_cast<size_t>(start));
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::ReverseFind(wchar_t ch) const
{
    const size_t at = m_s.rfind(ch);
    return at == std::wstring::npos ? -1 : static_cast<int>(at);
}

int CString::Replace(const wchar_t* from, const wchar_t* to)
{
    if (!from || !*from)
        return 0;
    const std::wstring f(from), t(to ? to : L"");
    int count = 0;
    size_t at = 0;
    while ((at = m_s.find(f, at)) != std::wstring::npos) {
        m_s.replace(at, f.size(), t);
        at += t.size();
        ++count;
    }
    return count;
}

int CString::Replace(wchar_t from, wchar_t to)
{
    int count = 0;
    for (auto& c : m_s) {
        if (c == from) {
            c = to;
            ++count;
        }
    }
    return count;
}

int CString::Compare(const wchar_t* other) const
{
    return std::wcscmp(m_s.c_str(), other ? other : L"");
}

int CString::CompareNoCase(const wchar_t* other) const
{
    const wchar_t* a = m_s.c_str();
    const wchar_t* b = other ? other : L"";
    for (;; ++a, ++b) {
        const wint_t x = std::towlower(static_cast<wint_t>(*a));
        const wint_t y = std::towlower(static_cast<wint_t>(*b));
        if (x != y)
            return x < y ? -1 : 1;
        if (!*a)
            return 0;
    }
}

void CString::MakeUpper()
{
    for (auto& c : m_s)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
}

void CString::MakeLower()
{
    for (auto& c : m_s)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
}

void CString::TrimLeft()
{
    size_t i = 0;
    while (i < m_s.size() && std::iswspace(static_cast<wint_t>(m_s[i])))
        ++i;
    m_s.erase(0, i);
}

void CString::TrimRight()
{
    size_t n = m_s.size();
    while (n > 0 && std::iswspace(static_cast<wint_t>(m_s[n - 1])))
        --n;
    m_s.resize(n);
}

std::wstring ZuWidePrintfFormat(const wchar_t* format)
{
    std::wstring out;
    if (!format)
        return out;
    for (const wchar_t* p = format; *p; ++p) {
        out += *p;
        if (*p != L'%')
            continue;
        ++p;
        if (*p == L'%') {
            out += *p;
            continue;
        }
        // flags, width, precision
        while (*p && std::wcschr(L"-+ #0123456789.*", *p))
            out += *p++;
        bool sized = false;
        while (*p && std::wcschr(L"hlLqjzt", *p)) {
            sized = true;
            out += *p++;
        }
        if (!*p)
            break;
        if (!sized && (*p == L's' || *p == L'c' || *p == L'S' || *p == L'C'))
            out += L'l';
        out += (*p == L'S') ? L's' : (*p == L'C') ? L'c' : *p;
    }
    return out;
}

static std::wstring vformat(const wchar_t* format, va_list args)
{
    const std::wstring fmt = ZuWidePrintfFormat(format);
    std::vector<wchar_t> buf(256);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int n = std::vswprintf(buf.data(), buf.size(), fmt.c_str(), copy);
        va_end(copy);
        if (n >= 0 && static_cast<size_t>(n) < buf.size())
            return std::wstring(buf.data(), static_cast<size_t>(n));
        if (buf.size() >= (1u << 24))
            return std::wstring();  // a format error, not a size problem
        buf.resize(buf.size() * 4);
    }
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    m_s = vformat(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    m_s += vformat(format, args);
    va_end(args);
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_s.resize(static_cast<size_t>(minLength));
    return m_s.data();
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength >= 0 && newLength <= GetLength()) {
        m_s.resize(static_cast<size_t>(newLength));
        return;
    }
    const size_t nul = m_s.find(L'\0');
    if (nul != std::wstring::npos)
        m_s.resize(nul);
}

std::u16string ZuToUtf16(std::wstring_view s)
{
    std::u16string out;
    out.reserve(s.size());
    for (wchar_t wc : s) {
        auto c = static_cast<std::uint32_t>(wc);
        if (c >= 0x10000 && c <= 0x10FFFF) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else if (c > 0x10FFFF) {
            out += u'\uFFFD';
        } else {
            out += static_cast<char16_t>(c);
        }
    }
    return out;
}

std::wstring ZuFromUtf16(std::u16string_view s)
{
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const char16_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            const std::uint32_t cp = 0x10000 + ((static_cast<std::uint32_t>(c) - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            out += static_cast<wchar_t>(cp);
            ++i;
        } else {
            out += static_cast<wchar_t>(c);
        }
    }
    return out;
}
