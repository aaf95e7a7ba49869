// `zupim install` records the programs' folder as "InstallDir".
#include "installcommand.h"
#include "testhome.h"
#include "voregistry.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {

CString installDir()
{
    CVORegistry pims(HKEY_CURRENT_USER, L"Software\\Tandemoor\\Pims", FALSE);
    return pims.ReadString(L"InstallDir", nullptr);
}

}  // namespace

TEST(InstallCommand, RecordsTheFolderGivenOrTheProgramsOwn)
{
    ZuTestHome home;
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();

    EXPECT_EQ(runInstallCommand(nullptr, out, err), 0);
    EXPECT_EQ(installDir(), CString::fromQString(QString::fromStdString(ZuTestProgramFolder())));

    QTemporaryDir folder;
    const QString relative = QDir::current().relativeFilePath(folder.path());
    EXPECT_EQ(runInstallCommand(relative.toLocal8Bit().constData(), out, err), 0);
    EXPECT_EQ(installDir(), CString::fromQString(QDir::cleanPath(folder.path())));

    // A folder that is not there changes nothing.
    EXPECT_EQ(runInstallCommand((folder.path() + "/missing").toLocal8Bit().constData(), out, err), 1);
    EXPECT_EQ(installDir(), CString::fromQString(QDir::cleanPath(folder.path())));
    std::fclose(out);
    std::fclose(err);
}
