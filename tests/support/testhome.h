// testhome.h - a fresh data folder for one test.
#pragma once

#include <QTemporaryDir>
#include <string>

// Points ZUPIMS_HOME at a new empty folder for its lifetime and puts the old value back after.
class ZuTestHome {
public:
    ZuTestHome();
    ~ZuTestHome();
    ZuTestHome(const ZuTestHome&) = delete;
    ZuTestHome& operator=(const ZuTestHome&) = delete;
    std::string path() const { return m_dir.path().toStdString(); }
    std::string file(const char* name) const { return path() + "/" + name; }

private:
    QTemporaryDir m_dir;
    std::string m_old;
    bool m_hadOld = false;
};

// The folder of the running test program (helper programs are built beside it).
std::string ZuTestProgramFolder();
