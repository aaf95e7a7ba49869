// lecodec.h - little-endian integers and UTF-16LE text in byte buffers.
//
// Every stored format of the suite (record properties, the recurrence pattern, the attendee list,
// the note data) and the wire of the program windows is little-endian, whatever the host's byte
// order, and stores text as UTF-16LE code units. This is the one reader and the one writer of
// those bytes.
//
// ZuLeReader never reads past its end. A read that runs over the end yields 0 for every byte
// that is not there, and from then on `ok()` is false: a caller that must reject short data
// checks `ok()` after its reads; a caller whose format reads missing trailing bytes as zeros
// (the recurrence pattern's) just reads on. Reads at an offset (`u16At`, ...) do not move the
// position; sequential reads (`u16()`, ...) do.
//
// ZuLeWriter appends to, or patches at an offset in, a byte string it owns; writing at an
// offset beyond the end first fills the gap with zeros.
//
//   ZuLeWriter w;                 // bytes: (none)
//   w.u16(0x3004);                // 04 30
//   w.u32(7);                     // 04 30 07 00 00 00
//   w.utf16(u"가");               // 04 30 07 00 00 00 00 AC
//   ZuLeReader r(w.data(), w.size());
//   r.u16() == 0x3004; r.u32() == 7; r.utf16(1) == u"가"; r.u8() == 0 and now !r.ok()
#pragma once

#include "wintypes.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class ZuLeReader {
public:
    ZuLeReader(const void* data, std::size_t size)
        : m_p(static_cast<const BYTE*>(data)), m_size(data ? size : 0)
    {
    }

    std::size_t size() const { return m_size; }
    std::size_t pos() const { return m_pos; }
    std::size_t remaining() const { return m_pos < m_size ? m_size - m_pos : 0; }
    // False once a read has asked for a byte beyond the end.
    bool ok() const { return m_ok; }
    const BYTE* data() const { return m_p; }

    void seek(std::size_t pos) { m_pos = pos; }
    void skip(std::size_t bytes) { m_pos += bytes; }

    // An unsigned value of `bytes` (1 to 8) bytes at `offset`; bytes beyond the end read as 0.
    std::uint64_t at(std::size_t offset, int bytes)
    {
        std::uint64_t v = 0;
        const auto n = static_cast<std::size_t>(bytes);
        if (offset <= m_size && n <= m_size - offset && n <= sizeof v) {
            // Wholly inside: the common case, without a check for each byte.
            if constexpr (std::endian::native == std::endian::little) {
                std::memcpy(&v, m_p + offset, n);
            } else {
                for (std::size_t i = 0; i < n; ++i)
                    v |= static_cast<std::uint64_t>(m_p[offset + i]) << (8 * i);
            }
            return v;
        }
        for (int i = 0; i < bytes; ++i) {
            const std::size_t o = offset + static_cast<std::size_t>(i);
            if (o < m_size && o >= offset)
                v |= static_cast<std::uint64_t>(m_p[o]) << (8 * i);
            else
                m_ok = false;
        }
        return v;
    }
    std::uint8_t u8At(std::size_t offset) { return static_cast<std::uint8_t>(at(offset, 1)); }
    std::uint16_t u16At(std::size_t offset) { return static_cast<std::uint16_t>(at(offset, 2)); }
    std::uint32_t u32At(std::size_t offset) { return static_cast<std::uint32_t>(at(offset, 4)); }
    std::uint64_t u64At(std::size_t offset) { return at(offset, 8); }

    std::uint8_t u8() { return static_cast<std::uint8_t>(next(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(next(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(next(4)); }
    std::uint64_t u64() { return next(8); }
    std::int16_t i16() { return static_cast<std::int16_t>(u16()); }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }
    std::int64_t i64() { return static_cast<std::int64_t>(u64()); }

    // `units` UTF-16LE code units; units beyond the end read as 0.
    std::u16string utf16(std::size_t units)
    {
        std::u16string s;
        s.reserve(units <= remaining() / 2 ? units : remaining() / 2);
        for (std::size_t i = 0; i < units; ++i)
            s += static_cast<char16_t>(u16());
        return s;
    }
    // A UTF-16LE text up to its terminating 0 unit, which must lie wholly before `end` (at most
    // the size); the position moves past the terminator. False, with the position unmoved and
    // `ok()` false, when there is none.
    bool utf16z(std::u16string* out, std::size_t end = SIZE_MAX)
    {
        if (end > m_size)
            end = m_size;
        std::u16string units;
        for (std::size_t at = m_pos; at < end && end - at >= 2; at += 2) {
            const char16_t unit = static_cast<char16_t>(m_p[at] | (m_p[at + 1] << 8));
            if (unit == 0) {
                if (out)
                    *out = std::move(units);
                m_pos = at + 2;
                return true;
            }
            units += unit;
        }
        m_ok = false;
        return false;
    }
    // `bytes` raw bytes, or fewer when the data ends first (then `ok()` is false).
    std::string bytes(std::size_t bytes)
    {
        const std::size_t n = bytes <= remaining() ? bytes : remaining();
        std::string s(reinterpret_cast<const char*>(m_p) + (n ? m_pos : 0), n);
        if (n < bytes)
            m_ok = false;
        m_pos += bytes;
        return s;
    }

private:
    std::uint64_t next(int bytes)
    {
        const std::uint64_t v = at(m_pos, bytes);
        m_pos += static_cast<std::size_t>(bytes);
        return v;
    }

    const BYTE* m_p = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
    bool m_ok = true;
};

class ZuLeWriter {
public:
    ZuLeWriter() = default;
    // Starts with `size` zero bytes, for formats written field by field at fixed offsets.
    explicit ZuLeWriter(std::size_t size) : m_bytes(size, '\0') {}

    const std::string& bytes() const { return m_bytes; }
    std::string take() { return std::move(m_bytes); }
    const BYTE* data() const { return reinterpret_cast<const BYTE*>(m_bytes.data()); }
    std::size_t size() const { return m_bytes.size(); }
    void reserve(std::size_t n) { m_bytes.reserve(n); }

    // `bytes` (1 to 8) bytes of v at `offset`, growing the string with zeros as needed.
    void at(std::size_t offset, std::uint64_t v, int bytes)
    {
        const std::size_t end = offset + static_cast<std::size_t>(bytes);
        if (m_bytes.size() < end)
            m_bytes.resize(end, '\0');
        for (int i = 0; i < bytes; ++i)
            m_bytes[offset + static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    void u8At(std::size_t offset, std::uint8_t v) { at(offset, v, 1); }
    void u16At(std::size_t offset, std::uint16_t v) { at(offset, v, 2); }
    void u32At(std::size_t offset, std::uint32_t v) { at(offset, v, 4); }
    void u64At(std::size_t offset, std::uint64_t v) { at(offset, v, 8); }

    void u8(std::uint8_t v) { at(m_bytes.size(), v, 1); }
    void u16(std::uint16_t v) { at(m_bytes.size(), v, 2); }
    void u32(std::uint32_t v) { at(m_bytes.size(), v, 4); }
    void u64(std::uint64_t v) { at(m_bytes.size(), v, 8); }
    void utf16(std::u16string_view s)
    {
        for (const char16_t u : s)
            u16(static_cast<std::uint16_t>(u));
    }
    void raw(const void* data, std::size_t n)
    {
        if (n)
            m_bytes.append(static_cast<const char*>(data), n);
    }
    void raw(std::string_view s) { m_bytes.append(s); }

private:
    std::string m_bytes;
};

// Code unit `i` of UTF-16LE bytes that the caller knows to hold it (a reader's bounds checked
// once for a whole text, as a decoder of many texts wants).
inline char16_t ZuUtf16LeUnitAt(const BYTE* bytes, std::size_t i)
{
    return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
}

// The UTF-16LE bytes of code units, and the code units of UTF-16LE bytes (an odd last byte is
// dropped).
inline std::string ZuUtf16LeBytes(std::u16string_view units)
{
    ZuLeWriter w;
    w.reserve(units.size() * 2);
    w.utf16(units);
    return w.take();
}
inline std::u16string ZuUtf16LeUnits(const void* data, std::size_t bytes)
{
    if (!data)
        return {};
    ZuLeReader r(data, bytes - bytes % 2);
    return r.utf16(bytes / 2);
}
