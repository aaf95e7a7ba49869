#include "testhome.h"

#include <QCoreApplication>
#include <cstdlib>

ZuTestHome::ZuTestHome()
{
    if (const char* old = std::getenv("ZUPIMS_HOME")) {
        m_hadOld = true;
        m_old = old;
    }
    ::setenv("ZUPIMS_HOME", path().c_str(), 1);
}

ZuTestHome::~ZuTestHome()
{
    if (m_hadOld)
        ::setenv("ZUPIMS_HOME", m_old.c_str(), 1);
    else
        ::unsetenv("ZUPIMS_HOME");
}

std::string ZuTestProgramFolder()
{
    return QCoreApplication::applicationDirPath().toStdString();
}
