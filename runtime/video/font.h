// Bitmap fonts: the font table's slots, the built-in 5 x 6 font with its dark outline, fonts cut from
// pictures, the current font, and drawing text with it.
//
// A font picture is 16 cells wide; a picture narrower than high holds 256 glyphs in 16 rows, any other 128
// glyphs in 8 rows. Text is drawn glyph after glyph with a fixed advance of the cell width; no byte is
// special, a line break draws glyph 10.
#pragma once

#include <cstdint>

#include "text/basic_string.h"
#include "video/sprite.h"

struct DecodedImage;

struct FontSlot {
    int16_t glyph_width = 0;
    int16_t glyph_height = 0;
    SpriteSlot glyphs[256];
    int32_t glyph_count = 128;
};

// Makes `font` (clamped to 0..31) current and loads it from a picture; a name that resolves to nothing or a
// picture that cannot be read gives it the built-in font.
void LoadFont(const BasicString& name, int32_t font);
// Empties the font and cuts it from the picture file. 0 when the picture cannot be read (the font stays empty).
int32_t LoadFontImage(FontSlot& font, const char* name, int32_t key_colour);
void BuildFontFromImage(FontSlot& font, const DecodedImage& decoded);
// The built-in font: 128 glyphs of 8 x 8, codes 32 to 127 drawn white with a one-pixel outline of (8, 8, 8).
void BuildDefaultFont(int32_t font);
void SetFont(int32_t font);
int32_t CurrentFont();
void GetFontSize(int32_t& width, int32_t& height);
void GetFontSize(float& width, float& height);
// Draws the text with the current font, the top-left corner of its first glyph at (x, y) (truncated).
void PrintText(const BasicString& text, float x, float y);
