#include "sip.h"

#include <QGuiApplication>
#include <QInputMethod>

#include <mutex>

namespace {

std::mutex g_mutex;
DWORD g_flags = SIPF_DOCKED;
RECT g_visible{0, 26, 240, 294};
RECT g_panel{0, 214, 240, 294};

void showPanel(bool on)
{
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (!app || !app->inputMethod())
        return;
    if (on)
        app->inputMethod()->show();
    else
        app->inputMethod()->hide();
}

} // namespace

BOOL SipGetInfo(SIPINFO* info)
{
    if (!info || info->cbSize != SIPINFO_SIZE)
        return FALSE;
    std::lock_guard lock(g_mutex);
    info->fdwFlags = g_flags;
    info->rcVisibleDesktop = g_visible;
    info->rcSipRect = g_panel;
    return TRUE;
}

BOOL SipSetInfo(const SIPINFO* info)
{
    if (!info || info->cbSize != SIPINFO_SIZE)
        return FALSE;
    bool on;
    {
        std::lock_guard lock(g_mutex);
        const bool was = g_flags & SIPF_ON;
        g_flags = info->fdwFlags;
        on = g_flags & SIPF_ON;
        if (was == on)
            return TRUE;
    }
    showPanel(on);
    return TRUE;
}

BOOL SipShowIM(DWORD flags)
{
    SIPINFO info;
    info.cbSize = SIPINFO_SIZE;
    SipGetInfo(&info);
    info.fdwFlags = (flags & SIPF_ON) ? (info.fdwFlags | SIPF_ON) : (info.fdwFlags & ~SIPF_ON);
    return SipSetInfo(&info);
}
