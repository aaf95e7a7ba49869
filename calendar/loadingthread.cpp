#include "loadingthread.h"

#include "itemloader.h"
#include "windowmessage.h"

CLoadingThread::CLoadingThread(QObject* receiver) : m_receiver(receiver)
{
    m_thread = std::thread([this] { run(); });
}

CLoadingThread::~CLoadingThread()
{
    Stop();
}

void CLoadingThread::Request(const LoadRequest& request, QObject* target)
{
    const unsigned id = ++m_lastId;
    m_targets[id] = target;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stopping)
        return;
    m_request = request;
    m_requestId = id;
    m_requested = true;
    m_abort = false;
    m_wake.notify_all();
}

bool CLoadingThread::TakeResult(LoadResult& result, QPointer<QObject>& target)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_resultReady)
        return false;
    result = std::move(m_result);
    // Requests before this one were superseded; their windows are no longer waited for.
    target = m_targets[m_resultId];
    m_targets.erase(m_targets.begin(), m_targets.upper_bound(m_resultId));
    m_result = LoadResult{};
    m_resultReady = false;
    m_wake.notify_all();
    return true;
}

void CLoadingThread::Stop()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_abort = true;
        m_wake.notify_all();
    }
    if (m_thread.joinable())
        m_thread.join();
}

void CLoadingThread::run()
{
    CItemLoader loader;
    loader.Prepare();
    for (;;) {
        LoadRequest request;
        unsigned id = 0;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_requested || m_stopping; });
            if (m_stopping)
                return;
            m_requested = false;
            request = m_request;
            id = m_requestId;
        }
        LoadResult result;
        const bool complete = loader.Load(request, result, m_abort);
        ++m_loadsRun;
        if (!complete)
            continue;
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_stopping)
            return;
        m_result = std::move(result);
        m_resultId = id;
        m_resultReady = true;
        ZuPostMessage(m_receiver, ZU_WM_LOAD_DONE, 0, 0);
        // The receiver takes the result while it handles the message; until then this thread waits.
        m_wake.wait(lock, [this] { return !m_resultReady || m_stopping; });
        if (m_stopping)
            return;
    }
}
