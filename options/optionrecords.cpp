#include "optionrecords.h"

#include "optionstore.h"

#include <memory>

// Every call makes its own store, so nothing is cached between calls.

_tabGeneralOpt GetGeneralOpt()
{
    return std::make_unique<COptionStore>()->ReadGeneralOpt();
}

_tabCalendarOpt GetCalendarOpt()
{
    return std::make_unique<COptionStore>()->ReadCalendarOpt();
}

_tabTaskOpt GetTaskOpt()
{
    return std::make_unique<COptionStore>()->ReadTaskOpt();
}

_tabContactOpt GetContactOpt()
{
    return std::make_unique<COptionStore>()->ReadContactOpt();
}

BOOL WriteRegistryHWND(HWND hwnd, CString app)
{
    return std::make_unique<COptionStore>()->WriteWindowHandle(hwnd, app);
}

BOOL IsAnotherSuiteProgramRunning()
{
    return std::make_unique<COptionStore>()->AnyOtherProgramLive();
}
