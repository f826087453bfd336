#include "skin/controls/skin_window.h"
#include "scheduler/scheduler.h"
