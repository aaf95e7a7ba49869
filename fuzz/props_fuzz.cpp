// props_fuzz.cpp - libFuzzer entry point for the record decoder of the property databases
// (the `props` encoding of platform/cedbstore_p.h).
//
// Decodes the input as a record's properties. What decodes is encoded and decoded again: the
// second decoding must give the same properties, and encoding those the same bytes. A mismatch
// aborts, so libFuzzer keeps the input.
#include "cedbstore_p.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool same(const std::deque<CCeDBProp>& a, const std::deque<CCeDBProp>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].GetPropId() != b[i].GetPropId() || a[i].rawInt() != b[i].rawInt()
            || a[i].rawString() != b[i].rawString() || a[i].rawBytes() != b[i].rawBytes())
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::deque<CCeDBProp> first;
    if (!zucedb::decodeProps(data, size, first))
        return 0;
    std::string encoded;
    if (!zucedb::encodeProps(first, encoded))
        std::abort();  // whatever decodes can be written back
    std::deque<CCeDBProp> second;
    if (!zucedb::decodeProps(encoded.data(), encoded.size(), second) || !same(first, second))
        std::abort();
    std::string again;
    if (!zucedb::encodeProps(second, again) || again != encoded)
        std::abort();
    // The sort keys of every property, as a write computes them.
    for (const CCeDBProp& p : first)
        (void)zucedb::sortKeyOfValue(p, zucedb::SortSpec{p.GetPropId(), 0x2});
    return 0;
}
