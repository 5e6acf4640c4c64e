#include "skin/SkinConfig.h"

TSkinConfig SkinConfig;
