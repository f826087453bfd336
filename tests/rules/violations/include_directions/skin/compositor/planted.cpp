#include "skin/floor/keys.h"
#include "skin/controls/paint.h"
