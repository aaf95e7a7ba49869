#include "oledatetime.h"
