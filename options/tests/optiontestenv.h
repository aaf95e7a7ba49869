// optiontestenv.h - what the options tests share: a private data folder and socket folder per
// test, a window that records what it receives, and the fake program (windowtestenv.h).
#pragma once

#include "optionrecords.h"
#include "voregistry.h"
#include "windowtestenv.h"

using OptionTestEnv = WindowTestEnv;

// One of the options' registry keys ("General", "Calendar", ...).
inline CVORegistry Key(const wchar_t* name)
{
    return CVORegistry(HKEY_CURRENT_USER, (CString(L"Software\\Tandemoor\\Pims\\") + name), 1);
}
