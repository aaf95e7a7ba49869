#include "installcommand.h"

#include "registrykeys.h"
#include "voregistry.h"

#include <QDir>
#include <QFileInfo>

int runInstallCommand(const char* folder, FILE* out, FILE* err)
{
    QString path = folder ? QString::fromLocal8Bit(folder) : QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QFileInfo info(path);
    if (!info.isDir()) {
        std::fprintf(err, "zupim: %s: not a folder\n", path.toLocal8Bit().constData());
        return 1;
    }
    path = QDir::cleanPath(info.absoluteFilePath());
    CVORegistry pims(HKEY_CURRENT_USER, ZuReg::Pims, TRUE);
    if (!pims.WriteString(ZuReg::InstallDir, path.toStdWString().c_str())) {
        std::fprintf(err, "zupim: the settings could not be written (%s)\n", "InstallDir");
        return 1;
    }
    std::fprintf(out, "InstallDir = %s\n", path.toLocal8Bit().constData());
    return 0;
}
