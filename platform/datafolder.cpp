#include "datafolder.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool makeFolders(const std::string& path)
{
    if (path.empty())
        return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    const size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0)
        makeFolders(path.substr(0, slash));
    return ::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

} // namespace

std::string ZuDataFolder()
{
    std::string folder;
    if (const char* home = std::getenv("ZUPIMS_HOME"); home && *home) {
        folder = home;
    } else if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        folder = std::string(xdg) + "/zupims";
    } else if (const char* user = std::getenv("HOME"); user && *user) {
        folder = std::string(user) + "/.local/share/zupims";
    } else {
        return {};
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    // Every store and registry call asks for the folder: it is checked (and made) once for each
    // folder the environment names, not on every call.
    static std::mutex mutex;
    static std::string checked;
    {
        std::lock_guard lock(mutex);
        if (folder == checked)
            return folder;
    }
    struct stat st {};
    const bool existed = ::stat(folder.c_str(), &st) == 0;
    if (!makeFolders(folder))
        return {};
    if (!existed)
        ::chmod(folder.c_str(), 0700);
    std::lock_guard lock(mutex);
    checked = folder;
    return folder;
}

std::string ZuDataFile(const char* name)
{
    const std::string folder = ZuDataFolder();
    if (folder.empty())
        return {};
    return folder + "/" + name;
}

bool ZuRestrictFile(const std::string& path)
{
    return ::chmod(path.c_str(), 0600) == 0;
}
