#include "passwordhash_p.h"

#include <crypt.h>

#include <memory>

namespace ZuPasswordHash {

namespace {

// crypt_r's work area is about 32 KiB: on the heap, zeroed as libxcrypt asks.
std::string cryptWith(const std::string& phrase, const char* setting)
{
    auto data = std::make_unique<crypt_data>();
    const char* out = crypt_r(phrase.c_str(), setting, data.get());
    // Failures answer null or a string starting with '*', which never equals a setting.
    if (!out || out[0] != '$')
        return {};
    return out;
}

} // namespace

std::string Hash(const CString& password)
{
    char setting[CRYPT_GENSALT_OUTPUT_SIZE];
    // Null random bytes: libxcrypt takes them from the system's random source.
    if (!crypt_gensalt_rn("$y$", kCost, nullptr, 0, setting, sizeof setting))
        return {};
    return cryptWith(password.toUtf8(), setting);
}

bool Verify(const CString& password, const std::string& stored)
{
    if (stored.empty() || stored[0] != '$')
        return false;
    const std::string computed = cryptWith(password.toUtf8(), stored.c_str());
    return !computed.empty() && ConstantTimeEqual(computed, stored);
}

bool IsHash(const CString& stored)
{
    return !stored.IsEmpty() && stored.GetAt(0) == L'$';
}

bool ConstantTimeEqual(std::string_view a, std::string_view b)
{
    const size_t n = a.size() > b.size() ? a.size() : b.size();
    unsigned diff = a.size() == b.size() ? 0u : 1u;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = i < a.size() ? static_cast<unsigned char>(a[i]) : 0;
        const unsigned char y = i < b.size() ? static_cast<unsigned char>(b[i]) : 0;
        diff |= static_cast<unsigned>(x ^ y);
    }
    return diff == 0;
}

} // namespace ZuPasswordHash
