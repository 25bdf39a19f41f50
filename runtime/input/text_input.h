// Text entry from the buttons: an input line drawn over the screen, edited character by character as
// ReadKeyChar reports them, with a blinking cursor, until the return character.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

// Edits `text` in place at screen position (x, y) until return is pressed.
void TextInput(BasicString& text, int32_t x, int32_t y);
// An empty line entered at (x, y), read as a base-10 integer or a single-precision number.
void TextInputInt(int32_t& result, int32_t x, int32_t y);
void TextInputFloat(float& result, int32_t x, int32_t y);
// Asks for a file name behind the prompt "File:" at (0, 100); the returned name keeps the prompt.
BasicString FileNamePrompt(BasicString& name);
