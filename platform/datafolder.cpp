#include "datafolder.h"

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The variables that name the data folder, the first one set winning, and where each puts it.
struct Source {
    const char* variable;
    const char* below;
};
constexpr Source kSources[] = {
    {"ZUPIMS_HOME", ""},
    {"XDG_DATA_HOME", "/zupims"},
    {"HOME", "/.local/share/zupims"},
};

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

std::string ZuDataFolderEnvironment()
{
    std::string key;
    for (const Source& source : kSources) {
        const char* v = std::getenv(source.variable);
        key += v ? v : "\x01";
        key += '\0';
    }
    return key;
}

std::string ZuDataFolder()
{
    std::string folder;
    for (const Source& source : kSources) {
        if (const char* v = std::getenv(source.variable); v && *v) {
            folder = std::string(v) + source.below;
            break;
        }
    }
    if (folder.empty())
        return {};
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
    if (!makeFolders(folder))
        return {};
    // A folder that others may enter or list (made by hand, or by an older version) is closed
    // to them: it holds the user's whole calendar and address book.
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0 && (st.st_mode & 077) != 0)
        ::chmod(folder.c_str(), st.st_mode & 0700);
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
