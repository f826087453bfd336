#include "skin/compositor/face.h"
#include "app/controls.h"
