// ink_fuzz.cpp - libFuzzer entry point for the note reader (ink/inkdata.h).
//
// Reads the input as a stored note. What reads is written back and read again: the second
// reading must give the same items, and writing that must give the same bytes. A mismatch
// aborts, so libFuzzer keeps the input.
#include "inkdata.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > static_cast<size_t>(kInkMaxBytes) + 16)
        return 0;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    InkNote first;
    if (ZuReadInk(bytes, &first) != InkRead::Ours)
        return 0;
    const QByteArray written = ZuWriteInk(first);
    InkNote second;
    const InkRead again = ZuReadInk(written, &second);
    if (first.empty() ? !written.isEmpty() : again != InkRead::Ours)
        std::abort();
    if (second.items != first.items)
        std::abort();
    if (ZuWriteInk(second) != written)
        std::abort();
    return 0;
}
