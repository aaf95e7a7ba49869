#include "inkxloader.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

namespace {

struct Entry {
    InitInkXProc init = nullptr;
    ZuCreateInkXProc create = nullptr;
    QLibrary* library = nullptr;
};

// Resolved once. The library is never unloaded, as windows of it may live until the end; the
// entry holds it for the whole run.
const Entry& entry()
{
    static const Entry e = [] {
        Entry found;
        Dl_info info{};
        if (!dladdr(reinterpret_cast<const void*>(&ZuInkXAvailable), &info) || !info.dli_fname)
            return found;
        const QString folder = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
        auto* lib = new QLibrary(QDir(folder).filePath(QStringLiteral("inkx")));
        found.library = lib;
        if (!lib->load())
            return found;
        found.init = reinterpret_cast<InitInkXProc>(lib->resolve("InitInkX"));
        found.create = reinterpret_cast<ZuCreateInkXProc>(lib->resolve("ZuCreateInkX"));
        if (!found.init || !found.create) {
            found.init = nullptr;
            found.create = nullptr;
        }
        return found;
    }();
    return e;
}

bool switchedOff()
{
    const char* v = std::getenv("ZUPIMS_INKX");
    return v && std::strcmp(v, "none") == 0;
}

} // namespace

bool ZuInkXAvailable() { return !switchedOff() && entry().create; }

BOOL ZuInitInkX() { return ZuInkXAvailable() ? entry().init() : FALSE; }

QWidget* ZuCreateInkWindow(QWidget* parent, bool bordered)
{
    return ZuInkXAvailable() ? entry().create(parent, bordered) : nullptr;
}
