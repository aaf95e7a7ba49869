#include "voregistry.h"
