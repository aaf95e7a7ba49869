#include "programwindowqueue_p.h"

#include <cerrno>

#include <sys/eventfd.h>
#include <unistd.h>

namespace zuwnd {

Registration::~Registration()
{
    if (uiWake >= 0)
        ::close(uiWake);
    if (listenerWake >= 0)
        ::close(listenerWake);
}

bool makeEventFd(int& fd)
{
    fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    return fd >= 0;
}

void wake(int fd)
{
    const std::uint64_t one = 1;
    while (::write(fd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void drainWake(int fd)
{
    std::uint64_t count = 0;
    while (::read(fd, &count, sizeof count) < 0 && errno == EINTR) {
    }
}

bool enqueue(const std::shared_ptr<Registration>& reg, Job job)
{
    {
        std::lock_guard lock(reg->mutex);
        if (reg->stopped)
            return false;
        reg->jobs.push_back(std::move(job));
    }
    wake(reg->uiWake);
    return true;
}

void complete(const std::shared_ptr<Registration>& reg, Job& job, bool delivered, LRESULT result)
{
    if (job.waiter) {
        std::lock_guard lock(job.waiter->mutex);
        job.waiter->finished = true;
        job.waiter->delivered = delivered;
        job.waiter->result = result;
        job.waiter->cv.notify_all();
    }
    if (job.replyId) {
        std::lock_guard lock(reg->mutex);
        if (!reg->stopped) {
            reg->replies.push_back(PendingReply{job.replyId, delivered, result});
            wake(reg->listenerWake);
        }
    }
}

} // namespace zuwnd
