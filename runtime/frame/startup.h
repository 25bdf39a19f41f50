// Runtime start-up: every subsystem brought up in a fixed order, one progress line per stage, the working
// directory made the executable's own, "Loading..." shown, the default font loaded and the launcher stopped.
#pragma once

#include "text/basic_string.h"

extern BasicString ProgramCaption;

// Returns 0 in every case.
int RuntimeStartup(const char* caption);
// The running executable's full path: the /proc link, else the resolved "_" variable, else "./".
void LocateExecutable(BasicString& path);
// Ends the path just before its last '/' or '\'; a path without a separator stays whole.
void CutToDirectory(BasicString& path);
