#include "optionstore.h"

#include "lasterror.h"
#include "messagebox.h"
#include "passwordbackoff.h"
#include "passwordhash_p.h"
#include "registrykeys.h"

#include <QChar>
#include <QCoreApplication>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

const wchar_t* const kWindowValue = L"dwHWND";
const wchar_t* const kSecurityFlag = L"bSecurityFlag";
const wchar_t* const kSecurityValue = L"strSecurityValue";

constexpr DWORD kDefaultStartHour = 6;
constexpr DWORD kDefaultEndHour = 24;
// SaveCalendarOpt compares with the stored hours read with this default, so missing ones differ.
constexpr DWORD kMissingHour = 100;

LPARAM flag(BOOL value)
{
    return value ? 1 : 0;
}

bool isLetter(wchar_t c)
{
    return c >= 0 && QChar::isLetter(static_cast<char32_t>(c));
}

// The factor of a digit at position i (from 1).
int digitFactor(int i)
{
    return i <= 9 ? i : i - 9;
}

} // namespace

COptionStore::COptionStore()
    : m_regGeneral(HKEY_CURRENT_USER, ZuReg::General, 1),
      m_regContact(HKEY_CURRENT_USER, ZuReg::Contact, 1),
      m_regCalendar(HKEY_CURRENT_USER, ZuReg::Calendar, 1),
      m_regTask(HKEY_CURRENT_USER, ZuReg::Task, 1),
      m_regMemo(HKEY_CURRENT_USER, ZuReg::Memo, 1)
{
}

COptionStore::~COptionStore() = default;

CVORegistry* COptionStore::KeyFor(const wchar_t* name)
{
    if (!name)
        return nullptr;
    const CString n(name);
    if (n.CompareNoCase(L"Contact") == 0)
        return &m_regContact;
    if (n.CompareNoCase(L"Calendar") == 0)
        return &m_regCalendar;
    if (n.CompareNoCase(L"Task") == 0)
        return &m_regTask;
    if (n.CompareNoCase(L"Memo") == 0)
        return &m_regMemo;
    return nullptr;
}

BOOL COptionStore::ReadBool(CVORegistry& key, const wchar_t* name)
{
    return key.ReadString(name, nullptr) == L"TRUE" ? TRUE : FALSE;
}

COptionStore::Saved COptionStore::SaveBool(CVORegistry& key, const wchar_t* name, BOOL value)
{
    const CString current = key.ReadString(name, nullptr);
    const wchar_t* text = nullptr;
    if (value && (current.IsEmpty() || current == L"FALSE"))
        text = L"TRUE";
    else if (!value && (current.IsEmpty() || current == L"TRUE"))
        text = L"FALSE";
    if (!text)
        return Saved::Unchanged;
    // Only a value that is stored counts as a change: a write that failed tells nobody anything.
    if (!key.WriteString(name, text) || key.ReadString(name, nullptr) != text)
        return Saved::Failed;
    return Saved::Changed;
}

void COptionStore::Notify(HWND hwnd, WPARAM code, LPARAM value)
{
    if (std::find(m_unresponsive.begin(), m_unresponsive.end(), hwnd) != m_unresponsive.end())
        return;
    if (!IsWindow(hwnd))
        return;
    SendMessage(hwnd, WM_OPTION_CHANGED, code, value);
    if (GetLastError() == ERROR_TIMEOUT)
        m_unresponsive.push_back(hwnd);
}

_tabGeneralOpt COptionStore::ReadGeneralOpt()
{
    _tabGeneralOpt opt;
    opt.bLeftScrollFlag = ReadBool(m_regGeneral, L"bLeftScrollFlag");
    opt.bSecurityFlag = ReadBool(m_regGeneral, kSecurityFlag);
    opt.strSecurityValue = opt.bSecurityFlag ? L"" : L"NO";
    return opt;
}

_tabCalendarOpt COptionStore::ReadCalendarOpt()
{
    _tabCalendarOpt opt;
    opt.bPrivateFlag = ReadBool(m_regCalendar, L"bPrivateFlag");
    opt.bBigFontFlag = ReadBool(m_regCalendar, L"bBigFontFlag");
    DWORD start = m_regCalendar.ReadDWORD(L"nWvStartTime", kDefaultStartHour);
    DWORD end = m_regCalendar.ReadDWORD(L"nWvEndTime", kDefaultEndHour);
    if (start >= end || end > 24) {
        start = kDefaultStartHour;
        end = kDefaultEndHour;
    }
    opt.nWvStartTime = static_cast<int>(start);
    opt.nWvEndTime = static_cast<int>(end);
    return opt;
}

_tabTaskOpt COptionStore::ReadTaskOpt()
{
    _tabTaskOpt opt;
    opt.bPrivateFlag = ReadBool(m_regTask, L"bPrivateFlag");
    opt.bBigFontFlag = ReadBool(m_regTask, L"bBigFontFlag");
    opt.bSETimeViewFlag = ReadBool(m_regTask, L"bSETimeViewFlag");
    opt.bStatusBarFlag = ReadBool(m_regTask, L"bStatusBarFlag");
    return opt;
}

_tabContactOpt COptionStore::ReadContactOpt()
{
    _tabContactOpt opt;
    opt.bBigFontFlag = ReadBool(m_regContact, L"bBigFontFlag");
    opt.bShowQuickSearchBar = ReadBool(m_regContact, L"bShowQuickSearchBar");
    opt.bShowMultiLine = ReadBool(m_regContact, L"bShowMultiLine");
    opt.bShowNameOnly = ReadBool(m_regContact, L"bShowNameOnly");
    return opt;
}

HWND COptionStore::ReadWindowHandle(const wchar_t* key)
{
    CVORegistry* reg = KeyFor(key);
    return reg ? reg->ReadDWORD(kWindowValue, CVORegistry::kUnstoredDefault) : ZU_HWND_UNSET;
}

BOOL COptionStore::WriteWindowHandle(HWND hwnd, const CString& app)
{
    CVORegistry* reg = KeyFor(app);
    if (hwnd == 0) {
        if (reg)
            reg->WriteDWORD(kWindowValue, 0);
        return FALSE;
    }
    if (!IsWindow(hwnd))
        return FALSE;
    if (reg)
        reg->WriteDWORD(kWindowValue, hwnd);
    return TRUE;
}

BOOL COptionStore::AnyOtherProgramLive()
{
    const HWND own = ZuMainWindowHandle();
    for (const wchar_t* key : {L"Contact", L"Calendar", L"Task", L"Memo"}) {
        const HWND hwnd = ReadWindowHandle(key);
        if (hwnd != own && IsWindow(hwnd))
            return TRUE;
    }
    return FALSE;
}

BOOL COptionStore::StoreHash(const std::string& hash)
{
    const CString text = CString::fromUtf8(hash);
    return !hash.empty() && m_regGeneral.WriteString(kSecurityValue, text)
        && m_regGeneral.ReadString(kSecurityValue, nullptr) == text;
}

BOOL COptionStore::HasStoredPassword()
{
    if (!ReadBool(m_regGeneral, kSecurityFlag) || !m_regGeneral.ValueExists(kSecurityValue))
        return FALSE;
    const CString stored = m_regGeneral.ReadString(kSecurityValue, nullptr);
    return ZuPasswordHash::IsHash(stored) || !DecodePassword(stored).IsEmpty() ? TRUE : FALSE;
}

BOOL COptionStore::SaveGeneralOpt(BOOL bSecurityFlag, const CString& password, BOOL bLeftScrollFlag)
{
    const HWND calendar = ReadWindowHandle(L"Calendar");
    const HWND contact = ReadWindowHandle(L"Contact");
    BOOL ok = TRUE;
    switch (SaveBool(m_regGeneral, L"bLeftScrollFlag", bLeftScrollFlag)) {
    case Saved::Changed:
        Notify(calendar, OPTCODE_LEFT_SCROLL, flag(bLeftScrollFlag));
        Notify(contact, OPTCODE_LEFT_SCROLL, flag(bLeftScrollFlag));
        break;
    case Saved::Failed:
        ok = FALSE;
        break;
    case Saved::Unchanged:
        break;
    }
    if (!bSecurityFlag) {
        // The flag first: a crash in between leaves protection off, never on with no password.
        if (m_regGeneral.ReadString(kSecurityFlag, nullptr) != L"FALSE" && !m_regGeneral.WriteString(kSecurityFlag, L"FALSE"))
            return FALSE;
        if (m_regGeneral.ValueExists(kSecurityValue) && !m_regGeneral.DeleteValue(kSecurityValue))
            return FALSE;
        return ok;
    }

    std::string hash;
    if (!password.IsEmpty()) {
        hash = ZuPasswordHash::Hash(password);
    } else {
        // "Unchanged" needs a password in force: protection on and a value stored.
        if (!HasStoredPassword())
            return FALSE;
        const CString stored = m_regGeneral.ReadString(kSecurityValue, nullptr);
        if (ZuPasswordHash::IsHash(stored))
            return ok;
        hash = ZuPasswordHash::Hash(DecodePassword(stored));
    }
    if (StoreHash(hash)) {
        if (ReadBool(m_regGeneral, kSecurityFlag))
            return ok;
        return m_regGeneral.WriteString(kSecurityFlag, L"TRUE") ? ok : FALSE;
    }
    const CString caption = CString::fromQString(QCoreApplication::applicationName());
    MessageBox(nullptr, L"비밀번호 저장에 실패하였습니다.\n비밀번호 설정을 끕니다.", caption, MB_OK);
    m_regGeneral.WriteString(kSecurityFlag, L"FALSE");
    m_regGeneral.DeleteValue(kSecurityValue);
    return FALSE;
}

COptionStore::PasswordCheck COptionStore::CheckPassword(const CString& typed, std::int64_t* waitMs)
{
    CPasswordBackoff& backoff = CPasswordBackoff::Instance();
    const std::int64_t now = CPasswordBackoff::NowMs();
    const std::int64_t remaining = backoff.RemainingMs(now);
    if (waitMs)
        *waitMs = remaining;
    if (remaining > 0)
        return PasswordCheck::Wait;

    bool right = false;
    if (!m_regGeneral.ValueExists(kSecurityValue)) {
        // Protection on with nothing stored: an earlier version's empty password.
        right = typed.IsEmpty();
    } else {
        const CString stored = m_regGeneral.ReadString(kSecurityValue, nullptr);
        if (ZuPasswordHash::IsHash(stored)) {
            right = ZuPasswordHash::Verify(typed, stored.toUtf8());
        } else {
            right = ZuPasswordHash::ConstantTimeEqual(DecodePassword(stored).toUtf8(), typed.toUtf8());
            // The old form goes at its first right entry; should the hash not stick, the old
            // form stays and is tried again next time.
            if (right)
                StoreHash(ZuPasswordHash::Hash(typed));
        }
    }
    if (!right) {
        backoff.Wrong(CPasswordBackoff::NowMs());
        return PasswordCheck::Wrong;
    }
    backoff.Right();
    return PasswordCheck::Right;
}

BOOL COptionStore::SaveCalendarOpt(BOOL bPrivateFlag, BOOL bBigFontFlag, int nWvStartTime, int nWvEndTime)
{
    const HWND calendar = ReadWindowHandle(L"Calendar");
    BOOL ok = TRUE;
    const auto save = [&](const wchar_t* name, BOOL value, WPARAM code) {
        const Saved saved = SaveBool(m_regCalendar, name, value);
        if (saved == Saved::Changed)
            Notify(calendar, code, flag(value));
        else if (saved == Saved::Failed)
            ok = FALSE;
    };
    save(L"bPrivateFlag", bPrivateFlag, OPTCODE_CALENDAR_PRIVATE);
    save(L"bBigFontFlag", bBigFontFlag, OPTCODE_CALENDAR_BIGFONT);
    const DWORD start = m_regCalendar.ReadDWORD(L"nWvStartTime", kMissingHour);
    const DWORD end = m_regCalendar.ReadDWORD(L"nWvEndTime", kMissingHour);
    const DWORD newStart = static_cast<DWORD>(nWvStartTime);
    const DWORD newEnd = static_cast<DWORD>(nWvEndTime);
    if (newStart != start || newEnd != end) {
        if (!m_regCalendar.WriteDWORD(L"nWvStartTime", newStart) || !m_regCalendar.WriteDWORD(L"nWvEndTime", newEnd)
            || m_regCalendar.ReadDWORD(L"nWvStartTime", kMissingHour) != newStart
            || m_regCalendar.ReadDWORD(L"nWvEndTime", kMissingHour) != newEnd)
            return FALSE;
        Notify(calendar, OPTCODE_WEEKVIEW_HOURS,
            static_cast<LPARAM>(MAKELONG(static_cast<WORD>(nWvStartTime), static_cast<WORD>(nWvEndTime))));
    }
    return ok;
}

BOOL COptionStore::SaveTaskStatusBar(BOOL bStatusBarFlag)
{
    const HWND calendar = ReadWindowHandle(L"Calendar");
    switch (SaveBool(m_regTask, L"bStatusBarFlag", bStatusBarFlag)) {
    case Saved::Changed:
        Notify(calendar, OPTCODE_TASK_STATUSBAR, flag(bStatusBarFlag));
        return TRUE;
    case Saved::Failed:
        return FALSE;
    case Saved::Unchanged:
        return TRUE;
    }
    return TRUE;
}

BOOL COptionStore::SaveContactOpt(BOOL bBigFontFlag, BOOL bShowQuickSearchBar, BOOL bShowMultiLine, BOOL bShowNameOnly)
{
    const HWND contact = ReadWindowHandle(L"Contact");
    const struct {
        const wchar_t* name;
        BOOL value;
        WPARAM code;
    } order[] = {
        {L"bBigFontFlag", bBigFontFlag, OPTCODE_CONTACT_BIGFONT},
        {L"bShowNameOnly", bShowNameOnly, OPTCODE_CONTACT_NAMEONLY},
        {L"bShowQuickSearchBar", bShowQuickSearchBar, OPTCODE_CONTACT_QUICKSEARCH},
        {L"bShowMultiLine", bShowMultiLine, OPTCODE_CONTACT_MULTILINE},
    };
    BOOL ok = TRUE;
    bool earlierChanged = false;
    for (const auto& option : order) {
        const Saved saved = SaveBool(m_regContact, option.name, option.value);
        if (saved == Saved::Failed) {
            // The program is not told a value the registry lacks; the later options still go.
            ok = FALSE;
            continue;
        }
        const bool changed = saved == Saved::Changed;
        if (changed || earlierChanged)
            Notify(contact, option.code, flag(option.value));
        earlierChanged = earlierChanged || changed;
    }
    return ok;
}

CString COptionStore::EncodePassword(const CString& password)
{
    const std::wstring reversed(password.str().rbegin(), password.str().rend());
    std::wstring out;
    out.reserve(reversed.size() * 3);
    for (size_t index = 0; index < reversed.size(); ++index) {
        const int i = static_cast<int>(index) + 1;
        const wchar_t c = reversed[index];
        if (isLetter(c)) {
            const auto low = static_cast<unsigned>(c) & 0xFFu;
            const auto scrambled = static_cast<std::int8_t>(static_cast<std::uint8_t>(low - 2u * static_cast<unsigned>(i)));
            out += L"0l";
            out += static_cast<wchar_t>(static_cast<std::uint16_t>(static_cast<std::int16_t>(scrambled)));
        } else if (c >= L'0' && c <= L'9') {
            out += L"0x";
            out += static_cast<wchar_t>(63 + (c - L'0') * digitFactor(i));
        } else {
            out += L"0e";
            out += c;
        }
    }
    return CString(std::move(out));
}

CString COptionStore::DecodePassword(const CString& stored)
{
    const std::wstring& s = stored.str();
    std::wstring out;
    const size_t groups = s.size() / 3;
    for (size_t g = 0; g < groups; ++g) {
        const int i = static_cast<int>(g) + 1;
        const wchar_t m0 = s[3 * g];
        const wchar_t m1 = s[3 * g + 1];
        const wchar_t c = s[3 * g + 2];
        if (m0 != L'0')
            continue;
        if (m1 == L'l') {
            const auto low = static_cast<unsigned>(c) & 0xFFu;
            out += static_cast<wchar_t>((low + 2u * static_cast<unsigned>(i)) & 0xFFu);
        } else if (m1 == L'x') {
            out += std::to_wstring((static_cast<long long>(c) - 63) / digitFactor(i));
        } else if (m1 == L'e') {
            out += c;
        }
    }
    std::reverse(out.begin(), out.end());
    return CString(std::move(out));
}
