#include "sip.h"

#include "presenters_p.h"

#include <atomic>
#include <mutex>

namespace {

std::mutex g_mutex;
DWORD g_flags = SIPF_DOCKED;
RECT g_visible{0, 26, 240, 294};
RECT g_panel{0, 214, 240, 294};

std::atomic<ZuInputPanelPresenter> g_presenter{nullptr};

void showPanel(bool on)
{
    if (const ZuInputPanelPresenter present = g_presenter.load())
        present(on);
}

} // namespace

void ZuSetInputPanelPresenter(ZuInputPanelPresenter presenter)
{
    g_presenter.store(presenter);
}

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
