// optiontestenv.h - what the options tests share: a private data folder and socket folder per
// test, a window that records what it receives, and the fake program (windowtestenv.h).
#pragma once

#include "optionrecords.h"
#include "windowtestenv.h"

using OptionTestEnv = WindowTestEnv;
