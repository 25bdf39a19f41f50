// Loading pictures from files into the picture tables.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

// Loads the picture as background image 0, drawn under every frame, and draws it now. 1 on success.
int32_t LoadBackgroundImage(const BasicString& name);
