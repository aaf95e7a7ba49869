#include "textutil.h"

#include "filetime.h"
#include "lasterror.h"
#include "messagebox.h"
#include "sip.h"
#include "stringtable.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Case flag 0 asks for upper case; the suite's Korean names have no case, so they come back
// as loaded.
CString applyCase(CString text, int caseFlag)
{
    if (caseFlag == 0)
        text.MakeUpper();
    return text;
}

// The time format with its seconds (and fractions) taken out, together with the separator that
// tied them to the field before (or, when they lead, to the field after).
QString withoutSeconds(const QString& format)
{
    struct Token {
        QString text;
        bool field;
        bool drop;
    };
    static const QString fieldLetters = QStringLiteral("hHmszaApPt");
    std::vector<Token> tokens;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype j = i + 1;
        if (c == u'\'') {
            while (j < format.size()) {
                if (format[j] == u'\'') {
                    if (j + 1 < format.size() && format[j + 1] == u'\'') {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            tokens.push_back({format.mid(i, j - i), false, false});
        } else if (fieldLetters.contains(c)) {
            while (j < format.size() && format[j] == c)
                ++j;
            tokens.push_back({format.mid(i, j - i), true, c == u's' || c == u'z'});
        } else {
            while (j < format.size() && format[j] != u'\'' && !fieldLetters.contains(format[j]))
                ++j;
            tokens.push_back({format.mid(i, j - i), false, false});
        }
        i = j;
    }
    const auto count = static_cast<qsizetype>(tokens.size());
    for (qsizetype i = 0; i < count; ++i) {
        if (!tokens[i].field || !tokens[i].drop)
            continue;
        qsizetype prev = i - 1;
        while (prev >= 0 && !tokens[prev].field)
            --prev;
        if (prev >= 0) {
            for (qsizetype k = prev + 1; k < i; ++k)
                tokens[k].drop = true;
        } else {
            for (qsizetype k = i + 1; k < count && !tokens[k].field; ++k)
                tokens[k].drop = true;
        }
    }
    QString out;
    for (const Token& t : tokens)
        if (!t.drop)
            out += t.text;
    return out.trimmed();
}

std::atomic<int> g_trace{-1};  // -1: as the environment says

bool traceOn()
{
    const int state = g_trace.load();
    if (state >= 0)
        return state != 0;
    const char* env = std::getenv("ZUPIMS_TRACE");
    return env && std::strcmp(env, "1") == 0;
}

} // namespace

CString GetInstanceString(long n, int caseFlag)
{
    if (n == 0)
        return applyCase(ZuLoadString(ZuStr::InstanceLast), caseFlag);
    if (n >= 1 && n <= 6)
        return applyCase(ZuLoadString(ZuStr::InstanceFirst + static_cast<UINT>(n - 1)), caseFlag);
    return CString();
}

CString GetPoomInstanceString(long n, int caseFlag)
{
    if (n >= 1 && n <= 5)
        return applyCase(ZuLoadString(ZuStr::PoomInstanceFirst + static_cast<UINT>(n - 1)), caseFlag);
    return CString();
}

CString GetPoomDayOfWeekString(long mask, int caseFlag)
{
    CString list;
    int names = 0;
    for (UINT day = 0; day < 7; ++day) {
        if (!(mask & (1L << day)))
            continue;
        if (names++)
            list += L", ";
        list += ZuLoadString(ZuStr::Sunday + day);
    }
    if (names >= 2) {
        const int comma = list.ReverseFind(L',');
        list = list.Left(comma) + L" " + ZuLoadString(ZuStr::And) + list.Mid(comma + 1);
    }
    return applyCase(list, caseFlag);
}

CString GetMonthOfYearString(long month)
{
    if (month < 1 || month > 12)
        return CString();
    return ZuLoadString(ZuStr::MonthBase + static_cast<UINT>(month));
}

CString GetLocaleDayOfWeek()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const int qtDay = now.wDayOfWeek == 0 ? 7 : now.wDayOfWeek;  // Qt counts Monday 1 to Sunday 7
    return CString::fromQString(QLocale::system().dayName(qtDay, QLocale::LongFormat));
}

CString FormatDate(SYSTEMTIME st)
{
    const QDate date(st.wYear, st.wMonth, st.wDay);
    if (!date.isValid())
        return CString();
    CString out;
    out.Format(L"%04u-%02u-%02u", unsigned{st.wYear}, unsigned{st.wMonth}, unsigned{st.wDay});
    return out;
}

CString FormatTime(SYSTEMTIME st)
{
    const QTime time(st.wHour, st.wMinute, st.wSecond);
    if (!time.isValid())
        return CString();
    const QLocale locale = QLocale::system();
    // The calendar formats thousands of times a load: the trimmed format is kept per thread for
    // as long as the locale's format stays the same.
    thread_local QString source, trimmed;
    const QString format = locale.timeFormat(QLocale::ShortFormat);
    if (format != source || trimmed.isEmpty()) {
        source = format;
        trimmed = withoutSeconds(format);
    }
    return CString::fromQString(locale.toString(time, trimmed));
}

struct ZuTimeFormatter::Impl {
    QLocale locale = QLocale::system();
    QString format = withoutSeconds(locale.timeFormat(QLocale::ShortFormat));
    std::vector<CString> minutes;  // by minute of the day, made on first use
    std::vector<bool> made;
};

ZuTimeFormatter::ZuTimeFormatter() : d(std::make_unique<Impl>()) {}

ZuTimeFormatter::~ZuTimeFormatter() = default;

const CString& ZuTimeFormatter::operator()(const SYSTEMTIME& st) const
{
    static const CString none;
    if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59)
        return none;
    if (d->minutes.empty()) {
        d->minutes.resize(24 * 60);
        d->made.resize(24 * 60);
    }
    const size_t minute = size_t{st.wHour} * 60 + st.wMinute;
    if (!d->made[minute]) {
        d->minutes[minute] = CString::fromQString(d->locale.toString(QTime(st.wHour, st.wMinute), d->format));
        d->made[minute] = true;
    }
    return d->minutes[minute];
}

CString GetDateString(SYSTEMTIME st)
{
    static const wchar_t* const kDays[7] = {L"일", L"월", L"화", L"수", L"목", L"금", L"토"};
    const wchar_t* day = st.wDayOfWeek < 7 ? kDays[st.wDayOfWeek] : L"";
    CString out;
    out.Format(L"%u년 %u월 %u일 %s %d:%d", unsigned{st.wYear}, unsigned{st.wMonth}, unsigned{st.wDay}, day,
        int{st.wHour}, int{st.wMinute});
    return out;
}

void PPC_KeypadUp()
{
    SIPINFO info;
    info.cbSize = SIPINFO_SIZE;
    if (!SipGetInfo(&info))
        return;
    if (!(info.fdwFlags & SIPF_ON)) {
        info.fdwFlags |= SIPF_ON;
        SipSetInfo(&info);
    }
}

void PPC_KeypadDown()
{
    SIPINFO info;
    info.cbSize = SIPINFO_SIZE;
    if (!SipGetInfo(&info))
        return;
    if (info.fdwFlags & SIPF_ON) {
        info.fdwFlags &= ~SIPF_ON;
        SipSetInfo(&info);
    }
}

int IsPocketPC2002()
{
    return 0;
}

HRESULT RegisterPOOM()
{
    // The handheld registered its object-model server ("pimstore.dll", DllRegisterServer) here.
    // This system has no such server to load, so there is nothing to register.
    return E_FAIL;
}

void DisplayLastError(CString module)
{
    const DWORD code = GetLastError();
    const CString message = ZuLastErrorText();  // this system's texts are English
    CString text;
    text.Format(L"Error Module : %s\r\nError Code : (0x%X) %s\r\n\r\n", static_cast<const wchar_t*>(module), code,
        static_cast<const wchar_t*>(message));
    MessageBox(nullptr, text, L"ERROR", MB_ICONINFORMATION);
}

void _TRACE(const wchar_t* format, ...)
{
    if (!format || !traceOn())
        return;
    constexpr size_t kChars = 260;  // including the terminator
    const std::wstring fmt = ZuWidePrintfFormat(format);
    std::vector<wchar_t> buffer(kChars);
    for (;;) {
        va_list args;
        va_start(args, format);
        const int n = std::vswprintf(buffer.data(), buffer.size(), fmt.c_str(), args);
        va_end(args);
        if (n >= 0 && static_cast<size_t>(n) < buffer.size())
            break;
        if (buffer.size() >= (1u << 20)) {
            buffer.assign(1, L'\0');  // a broken format, not a long text
            break;
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
    std::wstring line(buffer.data(), std::min(std::wcslen(buffer.data()), kChars - 1));
    if (line.empty() || line.back() != L'\n')
        line += L'\n';
    const std::string utf8 = CString(line).toUtf8();
    std::fwrite(utf8.data(), 1, utf8.size(), stderr);
    std::fflush(stderr);
}

void ZuSetTrace(bool on)
{
    g_trace.store(on ? 1 : 0);
}
