#include "datetimeutil.h"
