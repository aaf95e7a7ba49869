#include "popupmenu.h"

#include "presenters_p.h"

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

std::mutex g_mutex;
ZuPopupMenuHandler g_handler;
std::atomic<ZuPopupMenuPresenter> g_presenter{nullptr};

// The answer as the caller may take it: the id of an enabled entry, or 0.
UINT validChoice(const std::vector<ZuMenuEntry>& entries, UINT id)
{
    if (id == 0)
        return 0;
    const bool ok = std::any_of(entries.begin(), entries.end(), [id](const ZuMenuEntry& e) {
        return !e.separator && e.enabled && e.id == id;
    });
    return ok ? id : 0;
}

} // namespace

void ZuSetPopupMenuPresenter(ZuPopupMenuPresenter presenter)
{
    g_presenter.store(presenter);
}

ZuPopupMenuHandler ZuSetPopupMenuHandler(ZuPopupMenuHandler handler)
{
    std::lock_guard lock(g_mutex);
    ZuPopupMenuHandler old = std::move(g_handler);
    g_handler = std::move(handler);
    return old;
}

UINT ZuPopupMenu(QWidget* parent, const std::vector<ZuMenuEntry>& entries, QPoint pos, ZuMenuAnchor anchor)
{
    ZuPopupMenuHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler)
        return validChoice(entries, handler(entries, pos));
    if (const ZuPopupMenuPresenter present = g_presenter.load())
        return validChoice(entries, present(parent, entries, pos, anchor));
    return 0;
}
