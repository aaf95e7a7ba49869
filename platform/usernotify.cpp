#include "usernotify.h"

#include "cedbstore_p.h"
#include "cstring.h"
#include "datafolder.h"
#include "lasterror.h"

#include <sqlite3.h>

#include <cstring>

namespace {

std::string packTime(const SYSTEMTIME& t)
{
    const WORD f[8] = {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
    std::string out;
    for (WORD w : f) {
        out += static_cast<char>(w & 0xFF);
        out += static_cast<char>(w >> 8);
    }
    return out;
}

SYSTEMTIME unpackTime(const void* data, int bytes)
{
    SYSTEMTIME t;
    WORD f[8] = {};
    const auto* p = static_cast<const unsigned char*>(data);
    for (int i = 0; p && i < 8 && 2 * i + 1 < bytes; ++i)
        f[i] = static_cast<WORD>(p[2 * i] | (p[2 * i + 1] << 8));
    t.wYear = f[0];
    t.wMonth = f[1];
    t.wDayOfWeek = f[2];
    t.wDay = f[3];
    t.wHour = f[4];
    t.wMinute = f[5];
    t.wSecond = f[6];
    t.wMilliseconds = f[7];
    return t;
}

std::string utf8(const wchar_t* s)
{
    return s ? CString(s).toUtf8() : std::string();
}

void bindText(ZuSqlStmt& s, int i, const wchar_t* text)
{
    if (text)
        s.bind(i, utf8(text));
    else
        s.bindNull(i);
}

zucedb::Connection* store()
{
    return zucedb::connectionFor(ZuDataFile("pim.db"));
}

std::int64_t handleNumber(HANDLE h)
{
    return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(h));
}

} // namespace

HANDLE CeSetUserNotificationEx(HANDLE notification, const CE_NOTIFICATION_TRIGGER* trigger, const CE_USER_NOTIFICATION* user)
{
    if (!trigger || !user) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"a notification needs a trigger and a user notification");
        return nullptr;
    }
    zucedb::Connection* c = store();
    if (!c)
        return nullptr;
    ZuSqlTransaction tx(c->db());
    if (!tx.ok())
        return nullptr;
    {
        ZuSqlUse s(notification
                ? c->stmt("UPDATE zu_notify SET type=?1, event=?2, app=?3, args=?4, start=?5, end=?6, flags=?7, title=?8, "
                          "text=?9, sound=?10, maxsound=?11 WHERE handle=?12")
                : c->stmt("INSERT INTO zu_notify(type, event, app, args, start, end, flags, title, text, sound, maxsound) "
                          "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11)"));
        if (!s)
            return nullptr;
        s->bind(1, static_cast<std::int64_t>(trigger->dwType));
        s->bind(2, static_cast<std::int64_t>(trigger->dwEvent));
        bindText(*s, 3, trigger->lpszApplication);
        bindText(*s, 4, trigger->lpszArguments);
        const std::string start = packTime(trigger->stStartTime), end = packTime(trigger->stEndTime);
        s->bindBlob(5, start.data(), start.size());
        s->bindBlob(6, end.data(), end.size());
        s->bind(7, static_cast<std::int64_t>(user->ActionFlags));
        bindText(*s, 8, user->pwszDialogTitle);
        bindText(*s, 9, user->pwszDialogText);
        bindText(*s, 10, user->pwszSound);
        s->bind(11, static_cast<std::int64_t>(user->nMaxSound));
        if (notification)
            s->bind(12, handleNumber(notification));
        if (const int rc = s->step(); rc != SQLITE_DONE) {
            c->db().fail(rc, "cannot set a notification");
            return nullptr;
        }
    }
    if (notification && c->db().changes() != 1) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no notification with that handle");
        return nullptr;
    }
    const std::int64_t handle = notification ? handleNumber(notification) : c->db().lastInsertId();
    if (!tx.commit())
        return nullptr;
    return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(handle));
}

BOOL CeGetUserNotification(HANDLE notification, DWORD bufferSize, DWORD* bytesNeeded, BYTE* buffer)
{
    if (!notification) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no notification handle");
        return FALSE;
    }
    zucedb::Connection* c = store();
    if (!c)
        return FALSE;
    ZuSqlUse s(c->stmt(
        "SELECT type, event, app, args, start, end, flags, title, text, sound, maxsound FROM zu_notify WHERE handle=?1"));
    if (!s)
        return FALSE;
    s->bind(1, handleNumber(notification));
    const int rc = s->step();
    if (rc != SQLITE_ROW) {
        if (rc == SQLITE_DONE)
            ZuSetLastError(ERROR_INVALID_PARAMETER, L"no notification with that handle");
        else
            c->db().fail(rc, "cannot read a notification");
        return FALSE;
    }
    std::wstring texts[5];  // application, arguments, title, text, sound
    bool present[5];
    const int cols[5] = {2, 3, 7, 8, 9};
    for (int i = 0; i < 5; ++i) {
        present[i] = !s->isNull(cols[i]);
        texts[i] = CString::fromUtf8(s->text(cols[i])).str();
    }
    size_t need = sizeof(CE_NOTIFICATION_INFO_HEADER) + sizeof(CE_NOTIFICATION_TRIGGER) + sizeof(CE_USER_NOTIFICATION);
    for (int i = 0; i < 5; ++i)
        if (present[i])
            need += (texts[i].size() + 1) * sizeof(wchar_t);
    if (bytesNeeded)
        *bytesNeeded = static_cast<DWORD>(need);
    if (!buffer || bufferSize < need) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memset(buffer, 0, need);
    auto* header = reinterpret_cast<CE_NOTIFICATION_INFO_HEADER*>(buffer);
    auto* trigger = reinterpret_cast<CE_NOTIFICATION_TRIGGER*>(buffer + sizeof(CE_NOTIFICATION_INFO_HEADER));
    auto* user = reinterpret_cast<CE_USER_NOTIFICATION*>(buffer + sizeof(CE_NOTIFICATION_INFO_HEADER) + sizeof(CE_NOTIFICATION_TRIGGER));
    auto* strings = reinterpret_cast<wchar_t*>(buffer + sizeof(CE_NOTIFICATION_INFO_HEADER) + sizeof(CE_NOTIFICATION_TRIGGER)
        + sizeof(CE_USER_NOTIFICATION));
    wchar_t* out[5] = {};
    for (int i = 0; i < 5; ++i) {
        if (!present[i])
            continue;
        std::memcpy(strings, texts[i].c_str(), (texts[i].size() + 1) * sizeof(wchar_t));
        out[i] = strings;
        strings += texts[i].size() + 1;
    }
    header->hNotification = notification;
    header->pcent = trigger;
    header->pceun = user;
    trigger->dwSize = CE_NOTIFICATION_TRIGGER_SIZE;
    trigger->dwType = static_cast<DWORD>(s->int64(0));
    trigger->dwEvent = static_cast<DWORD>(s->int64(1));
    trigger->lpszApplication = out[0];
    trigger->lpszArguments = out[1];
    trigger->stStartTime = unpackTime(s->blob(4), s->bytes(4));
    trigger->stEndTime = unpackTime(s->blob(5), s->bytes(5));
    user->ActionFlags = static_cast<DWORD>(s->int64(6));
    user->pwszDialogTitle = out[2];
    user->pwszDialogText = out[3];
    user->pwszSound = out[4];
    user->nMaxSound = static_cast<DWORD>(s->int64(10));
    return TRUE;
}

BOOL CeClearUserNotification(HANDLE notification)
{
    if (!notification) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no notification handle");
        return FALSE;
    }
    zucedb::Connection* c = store();
    if (!c)
        return FALSE;
    {
        ZuSqlUse s(c->stmt("DELETE FROM zu_notify WHERE handle=?1"));
        if (!s)
            return FALSE;
        s->bind(1, handleNumber(notification));
        if (const int rc = s->step(); rc != SQLITE_DONE)
            return c->db().fail(rc, "cannot clear a notification");
    }
    if (c->db().changes() != 1) {
        ZuSetLastError(ERROR_INVALID_PARAMETER, L"no notification with that handle");
        return FALSE;
    }
    return TRUE;
}
