// Movie playback: the commands exist so that programs written for other platforms still build and run, but
// there is no movie player on this one. Each command says so on standard output.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

// Prints "PLAYMOVIE + LOOPMOVIE only on Win32 so far..."; plays nothing.
void PLAYMOVIE(const BasicString& name);
// Prints the same line; plays nothing.
void LOOPMOVIE(const BasicString& name);
// Prints the same line and returns 0: no movie is ever playing.
int32_t MovieStatus();
