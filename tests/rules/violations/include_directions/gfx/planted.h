#include "skin/floor/props.h"
