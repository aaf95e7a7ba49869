#include "textutil.h"
