// The font table's current font and text drawing.
#include "video/font.h"

#include "video/video_context.h"

namespace {
int32_t g_current_font = 0;

int32_t ClampFont(int32_t font) { return font < 0 ? 0 : (font > 31 ? 31 : font); }
}  // namespace

void LoadFont(const BasicString& name, int32_t font) {
    (void)name;
    g_current_font = ClampFont(font);
    // NOTE: picture fonts and the built-in 5 x 6 font need the image readers; until they exist the slot stays
    // empty, GetFontSize reports 0 x 0 and PrintText draws nothing.
}

void SetFont(int32_t font) { g_current_font = ClampFont(font); }

int32_t CurrentFont() { return g_current_font; }

void GetFontSize(int32_t& width, int32_t& height) {
    width = 0;
    height = 0;
    if (g_video_context == nullptr) return;
    const FontSlot& slot = g_video_context->fonts[g_current_font];
    width = slot.glyph_width;
    height = slot.glyph_height;
}

void GetFontSize(float& width, float& height) {
    int32_t w, h;
    GetFontSize(w, h);
    width = static_cast<float>(w);
    height = static_cast<float>(h);
}

void PrintText(const BasicString& text, float x, float y) {
    if (g_video_context == nullptr) return;
    const FontSlot& slot = g_video_context->fonts[g_current_font];
    if (slot.glyph_width <= 0 || slot.glyph_count <= 0) return;
    int32_t left = static_cast<int32_t>(x);
    const int32_t top = static_cast<int32_t>(y);
    for (uint32_t i = 0; i < text.length(); ++i) {
        const uint8_t code = static_cast<uint8_t>(text.c_str()[i]);
        if (code < slot.glyph_count) {
            const SpriteSlot& glyph = slot.glyphs[code];
            BlitImage(glyph, left, top, 0, 0, glyph.width, glyph.height);
        }
        left += slot.glyph_width;
    }
}
