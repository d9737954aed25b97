#pragma once

// The file layer's names are the system room's: the settings store, program starts
// and the desktop's opener, below this room, turn the same names into bytes.
#include "platform/system/FileNames.h"
