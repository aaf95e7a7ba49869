#include "stringtable.h"
