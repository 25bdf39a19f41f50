// Font loading, the built-in font and text drawing.
#include "video/font.h"

#include <climits>
#include <cmath>

#include "files/pack_source.h"
#include "video/decoded_image.h"
#include "video/image_files.h"
#include "video/video_context.h"

namespace {

int32_t g_current_font = 0;

int32_t ClampFont(int32_t font) { return font < 0 ? 0 : (font > kFontCount - 1 ? kFontCount - 1 : font); }

// The built-in glyphs for codes 32 to 127: bit (x + 5 y) is the pixel in column x (0..4), row y (0..5).
constexpr uint32_t kBuiltInGlyphs[96] = {
    0x00000000, 0x08021080, 0x00002940, 0x15F57D40, 0x08E619C4, 0x14222140, 0x0ED114E0, 0x00001080,
    0x08210880, 0x04421040, 0x09575480, 0x08471080, 0x04400000, 0x00070000, 0x08000000, 0x04222100,
    0x00E5294E, 0x004210C4, 0x00E1390E, 0x00E4390E, 0x0084394A, 0x00E4384E, 0x00E5384E, 0x0042210E,
    0x00E5394E, 0x00E4394E, 0x00020080, 0x00220080, 0x00820888, 0x000701C0, 0x00222082, 0x0040310E,
    0x00E0B526, 0x00A5394E, 0x00E5194E, 0x00E5094E, 0x00E52946, 0x00E1384E, 0x0021384E, 0x00E5284E,
    0x00A5394A, 0x00E2108E, 0x00E5210C, 0x00A5194A, 0x00E10842, 0x015AD6BF, 0x00A5294E, 0x00E5294E,
    0x0021394E, 0x00F294A7, 0x00A5194E, 0x00E4384E, 0x0042108E, 0x00E5294A, 0x0045294A, 0x01FAD6B5,
    0x00A5114A, 0x0042394A, 0x00E1110E, 0x00610846, 0x01041041, 0x00621086, 0x00000144, 0x00E00000,
    0x00000082, 0x00E53000, 0x00E53842, 0x00E13800, 0x00E53908, 0x08273800, 0x00423888, 0x08873800,
    0x00A51842, 0x00421004, 0x04421004, 0x00A32842, 0x00421084, 0x015ABC00, 0x00A51800, 0x00E53800,
    0x04E51800, 0x10E53000, 0x00253800, 0x00E409C0, 0x00C23884, 0x00C52800, 0x00452800, 0x00EAD400,
    0x00A22800, 0x1C872800, 0x00E121C0, 0x00821888, 0x00421084, 0x00223082, 0x0002A800, 0x3F18C63F,
};

// True when cell position (k, j) of an 8 x 8 cell is a set pixel of the glyph, which sits at offset (1, 1).
bool GlyphPixel(uint32_t bits, int32_t k, int32_t j) {
    if (k < 1 || k > 5 || j < 1 || j > 6) return false;
    return (bits >> ((k - 1) + 5 * (j - 1))) & 1;
}

void EmptyFont(FontSlot& font) {
    const int32_t count = font.glyph_count < 0 ? 0 : (font.glyph_count > 256 ? 256 : font.glyph_count);
    for (int32_t g = 0; g < count; ++g) EmptySlot(font.glyphs[g]);
    font.glyph_width = 0;
    font.glyph_height = 0;
}

}  // namespace

void LoadFont(const BasicString& name, int32_t font) {
    g_current_font = ClampFont(font);
    if (g_video_context == nullptr) return;
    BasicString resolved;
    if (g_general_pack != nullptr && RequestFile(*g_general_pack, name, resolved, 1)) {
        if (resolved.length() >= 1024) resolved.SetLength(1023);
        if (LoadFontImage(g_video_context->fonts[g_current_font], resolved.c_str(),
                          g_video_context->font_transparent_colour))
            return;
    }
    BuildDefaultFont(g_current_font);
}

int32_t LoadFontImage(FontSlot& font, const char* name, int32_t key_colour) {
    EmptyFont(font);
    DecodedImage decoded;
    if (!ReadImageFile(decoded, name, key_colour)) return 0;
    BuildFontFromImage(font, decoded);
    return 1;
}

void BuildFontFromImage(FontSlot& font, const DecodedImage& decoded) {
    EmptyFont(font);
    const int32_t gw = decoded.width / 16;
    int32_t gh;
    if (decoded.width < decoded.height) {
        font.glyph_count = 256;
        gh = decoded.height / 16;
    } else {
        font.glyph_count = 128;
        gh = decoded.height / 8;
    }
    for (int32_t g = 0; g < font.glyph_count; ++g) {
        SourceRect rect;
        rect.x0 = (g % 16) * gw;
        rect.x1 = rect.x0 + gw - 1;
        rect.y0 = (g / 16) * gh;
        rect.y1 = rect.y0 + gh - 1;
        // Key 0: a glyph with transparent pixels stores them as 0.
        ConvertToSprite(font.glyphs[g], decoded, 0, &rect);
    }
    font.glyph_width = static_cast<int16_t>(gw);
    font.glyph_height = static_cast<int16_t>(gh);
}

void BuildDefaultFont(int32_t font) {
    if (g_video_context == nullptr) return;
    DecodedImage picture;
    if (!SizeDecodedImage(picture, 128, 64)) return;
    for (int32_t code = 32; code < 128; ++code) {
        const uint32_t bits = kBuiltInGlyphs[code - 32];
        const int32_t left = 8 * ((code - 32) % 16);
        const int32_t top = 16 + 8 * ((code - 32) / 16);
        for (int32_t j = 0; j < 8; ++j) {
            for (int32_t k = 0; k < 7; ++k) {
                uint8_t level;
                if (GlyphPixel(bits, k, j))
                    level = 255;
                else if (GlyphPixel(bits, k - 1, j) || GlyphPixel(bits, k + 1, j) || GlyphPixel(bits, k, j - 1) ||
                         GlyphPixel(bits, k, j + 1))
                    level = 8;
                else
                    continue;
                uint8_t* pixel = picture.rgba + ((top + j) * 128 + left + k) * 4;
                pixel[0] = pixel[1] = pixel[2] = level;
                pixel[3] = 255;
            }
        }
    }
    BuildFontFromImage(g_video_context->fonts[ClampFont(font)], picture);
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
    const FontSlot& font = g_video_context->fonts[g_current_font];
    if (font.glyph_count <= 0) return;
    // Positions beyond int32 are out of any screen; they are held at the int32 range rather than converted
    // with undefined results.
    auto to_int = [](float value) -> int32_t {
        if (std::isnan(value)) return 0;
        if (value >= 2147483520.0f) return INT32_MAX;
        if (value <= -2147483648.0f) return INT32_MIN;
        return static_cast<int32_t>(value);
    };
    int64_t left = to_int(x);
    const int32_t top = to_int(y);
    const char* bytes = text.c_str();
    for (uint32_t i = 0; bytes[i] != 0; ++i) {
        if (left > INT32_MAX || left < INT32_MIN) break;
        const uint8_t code = static_cast<uint8_t>(bytes[i]);
        const SpriteSlot& glyph = font.glyphs[code % font.glyph_count];
        BlitImage(glyph, static_cast<int32_t>(left), top, 0, 0, glyph.width, glyph.height);
        left += font.glyph_width;
    }
}
