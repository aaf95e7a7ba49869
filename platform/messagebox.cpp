#include "messagebox.h"

#include "presenters_p.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

std::mutex g_mutex;
ZuMessageBoxHandler g_handler;
// A plain pointer, constant-initialized, so that it may be set before anything else here runs.
std::atomic<ZuMessageBoxPresenter> g_presenter{nullptr};

int defaultAnswer(UINT type)
{
    switch (type & 0x0F) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
    }
}

} // namespace

void ZuSetMessageBoxPresenter(ZuMessageBoxPresenter presenter)
{
    g_presenter.store(presenter);
}

ZuMessageBoxHandler ZuSetMessageBoxHandler(ZuMessageBoxHandler handler)
{
    std::lock_guard lock(g_mutex);
    ZuMessageBoxHandler old = std::move(g_handler);
    g_handler = std::move(handler);
    return old;
}

int MessageBox(QWidget* parent, const wchar_t* text, const wchar_t* caption, UINT type)
{
    const CString t(text), c(caption);
    ZuMessageBoxHandler handler;
    {
        std::lock_guard lock(g_mutex);
        handler = g_handler;
    }
    if (handler)
        return handler(t, c, type);
    if (const ZuMessageBoxPresenter present = g_presenter.load())
        if (const int answer = present(parent, t, c, type))
            return answer;
    std::fprintf(stderr, "%s: %s\n", c.toUtf8().c_str(), t.toUtf8().c_str());
    return defaultAnswer(type);
}
