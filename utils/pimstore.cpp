#include "pimstore.h"
