#include "zucaloption.h"

DWORD ZuCalOptionVersion()
{
    return MAKELONG(1, 0);
}
