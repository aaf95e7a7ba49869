// attendees_fuzz.cpp - libFuzzer entry point for the attendee BLOB reader.
//
// Reads the input as a stored attendee list, writes it back and reads that again: the second
// reading must give the same entries as the first, and the writer must succeed. Then describes
// the list in every format. A mismatch aborts, so libFuzzer keeps the input.
#include "attendees.h"

#include "cedbdatabase.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 1u << 20)
        return 0;
    // The reader takes a writable blob; copy so the input stays untouched.
    std::vector<BYTE> bytes(data, data + size);
    _CEBLOB in;
    in.dwCount = static_cast<DWORD>(bytes.size());
    in.lpb = bytes.empty() ? nullptr : bytes.data();
    CAttendees first(in);

    _CEBLOB out;
    if (first.GetBLOB(out) != 1)
        std::abort();
    CAttendees second(out);
    LocalFree(out.lpb);

    if (second.GetSize() != first.GetSize())
        std::abort();
    for (int i = 0; i < first.GetSize(); ++i) {
        if (first[i] != second[i])
            std::abort();
    }
    for (WORD format = 0; format < 4; ++format)
        (void)first.GetAttendees(L"; ", format);
    return 0;
}
