// cstring.h - the framework's wide string type.
//
// A value type over std::wstring with the members the suite's code uses. `Format` takes the
// handheld's printf dialect: "%s" and "%c" take wide arguments (as "%ls" and "%lc" do on this
// system), so format texts can be written as the string tables have them.
#pragma once

#include "wintypes.h"

#include <QString>
#include <string>
#include <string_view>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_s(text ? text : L"") {}
    CString(const wchar_t* text, int length) : m_s(text ? std::wstring(text, length > 0 ? length : 0) : std::wstring()) {}
    CString(std::wstring text) : m_s(std::move(text)) {}
    CString(std::wstring_view text) : m_s(text) {}
    CString(wchar_t ch, int repeat = 1) : m_s(repeat > 0 ? repeat : 0, ch) {}

    static CString fromQString(const QString& s) { return CString(s.toStdWString()); }
    static CString fromUtf8(std::string_view s);
    QString toQString() const { return QString::fromStdWString(m_s); }
    std::string toUtf8() const;

    operator const wchar_t*() const { return m_s.c_str(); }
    const std::wstring& str() const { return m_s; }
    std::wstring& str() { return m_s; }

    int GetLength() const { return static_cast<int>(m_s.size()); }
    bool IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    wchar_t GetAt(int i) const { return (i >= 0 && i < GetLength()) ? m_s[static_cast<size_t>(i)] : L'\0'; }
    void SetAt(int i, wchar_t ch)
    {
        if (i >= 0 && i < GetLength())
            m_s[static_cast<size_t>(i)] = ch;
    }
    wchar_t operator[](int i) const { return GetAt(i); }

    CString Left(int n) const;
    CString Right(int n) const;
    CString Mid(int first) const;
    CString Mid(int first, int n) const;
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    int Replace(const wchar_t* from, const wchar_t* to);
    int Replace(wchar_t from, wchar_t to);
    int Compare(const wchar_t* other) const;
    int CompareNoCase(const wchar_t* other) const;
    void MakeUpper();
    void MakeLower();
    void TrimLeft();
    void TrimRight();
    void Trim()
    {
        TrimRight();
        TrimLeft();
    }

    // Formats like swprintf with the handheld's dialect (see the file comment); never overflows.
    void Format(const wchar_t* format, ...);
    void AppendFormat(const wchar_t* format, ...);

    // A writable buffer of at least minLength characters; ReleaseBuffer cuts at the first NUL
    // (or at newLength when it is not negative).
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    CString& operator=(const wchar_t* text)
    {
        m_s = text ? text : L"";
        return *this;
    }
    CString& operator+=(const CString& other)
    {
        m_s += other.m_s;
        return *this;
    }
    CString& operator+=(const wchar_t* text)
    {
        if (text)
            m_s += text;
        return *this;
    }
    CString& operator+=(wchar_t ch)
    {
        m_s += ch;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
    friend CString operator+(const CString& a, const wchar_t* b) { return CString(a.m_s + (b ? b : L"")); }
    friend CString operator+(const wchar_t* a, const CString& b) { return CString((a ? a : L"") + b.m_s); }
    friend CString operator+(const CString& a, wchar_t b) { return CString(a.m_s + b); }
    friend bool operator==(const CString& a, const CString& b) { return a.m_s == b.m_s; }
    friend bool operator==(const CString& a, const wchar_t* b) { return a.m_s == (b ? b : L""); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_s < b.m_s; }

private:
    std::wstring m_s;
};

// Converts the handheld's printf dialect into this system's: %s -> %ls, %c -> %lc.
std::wstring ZuWidePrintfFormat(const wchar_t* format);

// UTF-16 <-> wide string conversions used where values are stored.
std::u16string ZuToUtf16(std::wstring_view s);
std::wstring ZuFromUtf16(std::u16string_view s);
