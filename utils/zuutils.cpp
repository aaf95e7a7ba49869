#include "zuutils.h"

DWORD ZuUtilsVersion()
{
    return MAKELONG(1, 0);
}
