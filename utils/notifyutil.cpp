#include "notifyutil.h"
