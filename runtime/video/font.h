// Bitmap fonts: the font table's slots, the current font, and drawing text with it.
#pragma once

#include <cstdint>

#include "text/basic_string.h"
#include "video/sprite.h"

struct FontSlot {
    int32_t glyph_width = 0;
    int32_t glyph_height = 0;
    int32_t glyph_count = 0;
    SpriteSlot glyphs[256];
};

// Loads font `font` from a picture, or builds the built-in font when the name resolves to nothing.
void LoadFont(const BasicString& name, int32_t font);
void SetFont(int32_t font);
int32_t CurrentFont();
void GetFontSize(int32_t& width, int32_t& height);
void GetFontSize(float& width, float& height);
void PrintText(const BasicString& text, float x, float y);
