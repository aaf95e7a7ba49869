#include "lunar.h"
