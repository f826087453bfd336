#include "skin/controls/binding.h"
#include "base/fatal.h"
