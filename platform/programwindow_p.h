// programwindow_p.h - the bytes programs exchange over a window's socket (private to the platform
// layer), and what both ends of a connection use.
//
// Every call across programs opens one connection, writes one 40-byte request and reads one
// 32-byte reply, little-endian:
//
//   request  offset 0   8 bytes  "ZuPimWnd"
//                   8   u32      version 1
//                  12   u32      operation: 1 hello, 2 send, 3 post
//                  16   u32      target handle
//                  20   u32      message
//                  24   u64      wParam
//                  32   i64      lParam
//   reply    offset 0   8 bytes  "ZuPimWnd"
//                   8   u32      version 1
//                  12   u32      status: 0 done, 1 not my handle, 2 bad request, 3 the window
//                                ended before it handled the message
//                  16   u32      the answering window's own handle
//                  20   u32      0
//                  24   i64      result
//
// A request or reply whose magic text or version differs is not ours; a request with an unknown
// operation is a bad request. What a sender makes of a reply is told in programwindow.h.
#pragma once

#include "lecodec.h"
#include "programwindow.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <unistd.h>

namespace zuwnd {

constexpr std::string_view kMagic{"ZuPimWnd", 8};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kRequestSize = 40;
constexpr std::size_t kReplySize = 32;

constexpr std::uint32_t kOpHello = 1;
constexpr std::uint32_t kOpSend = 2;
constexpr std::uint32_t kOpPost = 3;

constexpr std::uint32_t kStatusDone = 0;
constexpr std::uint32_t kStatusNotMine = 1;
constexpr std::uint32_t kStatusBadRequest = 2;
constexpr std::uint32_t kStatusGone = 3;

struct Request {
    std::uint32_t op = 0;
    HWND target = 0;
    UINT message = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
};

struct Reply {
    std::uint32_t status = 0;
    HWND handle = 0;
    std::int64_t result = 0;
};

inline std::string encodeRequest(const Request& r)
{
    ZuLeWriter w;
    w.reserve(kRequestSize);
    w.raw(kMagic);
    w.u32(kVersion);
    w.u32(r.op);
    w.u32(r.target);
    w.u32(r.message);
    w.u64(r.wParam);
    w.u64(static_cast<std::uint64_t>(r.lParam));
    return w.take();
}

// False for bytes that are not a whole request of ours with a known operation.
inline bool decodeRequest(const void* in, std::size_t size, Request& r)
{
    ZuLeReader reader(in, size);
    if (reader.bytes(kMagic.size()) != kMagic || reader.u32() != kVersion)
        return false;
    r.op = reader.u32();
    r.target = reader.u32();
    r.message = reader.u32();
    r.wParam = reader.u64();
    r.lParam = reader.i64();
    return reader.ok() && (r.op == kOpHello || r.op == kOpSend || r.op == kOpPost);
}

inline std::string encodeReply(std::uint32_t status, HWND handle, std::int64_t result)
{
    ZuLeWriter w;
    w.reserve(kReplySize);
    w.raw(kMagic);
    w.u32(kVersion);
    w.u32(status);
    w.u32(handle);
    w.u32(0);
    w.u64(static_cast<std::uint64_t>(result));
    return w.take();
}

// False for bytes that are not a whole reply of ours.
inline bool decodeReply(const void* in, std::size_t size, Reply& r)
{
    ZuLeReader reader(in, size);
    if (reader.bytes(kMagic.size()) != kMagic || reader.u32() != kVersion)
        return false;
    r.status = reader.u32();
    r.handle = reader.u32();
    reader.skip(4);
    r.result = reader.i64();
    return reader.ok();
}

using Clock = std::chrono::steady_clock;

// Milliseconds until the deadline; 0 once it has passed.
inline int msLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// A descriptor closed with its owner.
class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace zuwnd
