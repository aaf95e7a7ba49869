// storedamage.h - damaged copies of a store file, as a bad disk or a stray write leaves them.
// The test programs that use it link SQLite.
#pragma once

#include <sqlite3.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Moves what the file's -wal holds into the file itself, so its bytes are the whole store.
inline bool ZuCheckpointFile(const std::string& file)
{
    sqlite3* db = nullptr;
    const bool ok = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
        && sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

inline std::string ZuFileBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline bool ZuWriteFileBytes(const std::string& file, const std::string& bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The page size from the file's header.
inline size_t ZuPageSize(const std::string& bytes)
{
    if (bytes.size() < 100)
        return 0;
    const size_t n = (static_cast<unsigned char>(bytes[16]) << 8) | static_cast<unsigned char>(bytes[17]);
    return n == 1 ? 65536 : n;
}

// The pages (numbered from 1) past the first two that hold `marker`: where those records lie.
inline std::vector<size_t> ZuPagesHolding(const std::string& bytes, const std::string& marker)
{
    std::vector<size_t> pages;
    const size_t size = ZuPageSize(bytes);
    for (size_t page = 3; size && page * size <= bytes.size(); ++page)
        if (bytes.substr((page - 1) * size, size).find(marker) != std::string::npos)
            pages.push_back(page);
    return pages;
}

// Changes the byte at `at` of the first `text` in page 1, where SQLite keeps the schema's text.
inline bool ZuChangeSchemaText(std::string& bytes, const std::string& text, size_t at, char to)
{
    const size_t found = bytes.substr(0, ZuPageSize(bytes)).find(text);
    if (found == std::string::npos)
        return false;
    bytes[found + at] = to;
    return true;
}

// Changes the second byte of `text` in the first index page (a leaf of an index b-tree, type
// 0x0a) that holds it: the table keeps the row, its index no longer finds it.
inline bool ZuDamageIndexHolding(std::string& bytes, const std::string& text)
{
    const size_t size = ZuPageSize(bytes);
    for (size_t page = 2; size && page * size <= bytes.size(); ++page) {
        const size_t at = (page - 1) * size;
        const size_t found = bytes.substr(at, size).find(text);
        if (bytes[at] == '\x0a' && found != std::string::npos) {
            bytes[at + found + 1] = static_cast<char>(bytes[at + found + 1] ^ 0x04);
            return true;
        }
    }
    return false;
}

// UTF-16LE bytes of ASCII text, as the store keeps strings inside records.
inline std::string ZuUtf16Bytes(const std::string& ascii)
{
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}
