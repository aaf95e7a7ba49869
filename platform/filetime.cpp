#include "filetime.h"
