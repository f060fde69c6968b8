#include "widgets/displayscale.h"

float g_scale = 1.0f;
