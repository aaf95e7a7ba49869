#include "zucomplib.h"

DWORD ZuCompLibVersion()
{
    return MAKELONG(1, 0);
}
