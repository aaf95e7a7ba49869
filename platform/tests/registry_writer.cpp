// registry_writer <prefix> <count> - the second program of the registry's two-program test.
//
// Announces itself with HKCU\Software\ZuTwo\<prefix>Ready, waits for the test's HKCU\Software\ZuTwo
// "Go" value, then writes <count> values <prefix><i> = i into HKCU\Software\ZuTwo, and a subkey
// <prefix><i> under it for every tenth; each write opens the key afresh. Exit 0 when all went well.
#include "registry.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

bool setNumber(HKEY key, const std::wstring& name, DWORD value)
{
    return RegSetValueEx(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value))
        == ERROR_SUCCESS;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::wstring prefix = std::wstring(argv[1], argv[1] + std::char_traits<char>::length(argv[1]));
    const DWORD count = static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10));
    const wchar_t* const path = L"Software\\ZuTwo";

    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS
        || !setNumber(key, prefix + L"Ready", 1))
        return 3;
    for (int waited = 0;; waited += 5) {
        DWORD size = 0;
        if (RegQueryValueEx(key, L"Go", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS)
            break;
        if (waited > 30000)
            return 4;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    RegCloseKey(key);

    for (DWORD i = 0; i < count; ++i) {
        HKEY k = nullptr;
        LONG rc = RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr);
        const std::wstring name = prefix + std::to_wstring(i);
        if (rc == ERROR_SUCCESS && !setNumber(k, name, i))
            rc = -1;
        if (rc == ERROR_SUCCESS && i % 10 == 0) {
            HKEY sub = nullptr;
            rc = RegCreateKeyEx(k, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr);
            RegCloseKey(sub);
        }
        RegCloseKey(k);
        if (rc != ERROR_SUCCESS) {
            std::fprintf(stderr, "write %u failed: %d\n", i, rc);
            return 1;
        }
    }
    return 0;
}
