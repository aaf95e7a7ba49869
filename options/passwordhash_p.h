// passwordhash_p.h - the stored form of the start-up password: a salted, deliberately slow hash
// (libxcrypt's yescrypt), never the password itself or anything it can be read back from.
//
// A stored hash is the crypt string "$y$<cost><salt>$<hash>" (ASCII, always starting with '$').
// The password is hashed as its UTF-8 bytes, so any text (Hangul too) can be a password; yescrypt
// has no length limit (bcrypt would cut at 72 bytes). The cost is tuned so that one check takes
// about 50-150 ms on a two-core machine: slow enough that guessing from a copy of the registry is
// expensive, quick enough for a prompt.
#pragma once

#include "cstring.h"

#include <string>
#include <string_view>

namespace ZuPasswordHash {

// yescrypt's cost parameter: 6 took 58-90 ms per hash on the 2-core development machine (the
// figure rising with the load of parallel builds); 5 took 28-49 ms, 7 took 114-250 ms.
constexpr unsigned long kCost = 6;

// A fresh salt from the system's random source and the hash of `password` under it; "" when the
// hash could not be made (no random source, say).
std::string Hash(const CString& password);
// TRUE when `password` hashes to `stored` under stored's own salt and cost; the final comparison
// takes the same time wherever the strings differ. A stored string that is no valid hash never
// matches.
bool Verify(const CString& password, const std::string& stored);
// TRUE when the stored text has the form of a hash (rather than the old scrambled form).
bool IsHash(const CString& stored);
// Equality whose time depends on the lengths only, not on where the texts differ.
bool ConstantTimeEqual(std::string_view a, std::string_view b);

} // namespace ZuPasswordHash
