#include "game/types.h"
