// The built-in font, fonts cut from pictures, font selection and text drawing.
#include <unistd.h>

#include "support/process_runner.h"
#include "video/decoded_image.h"
#include "video/font.h"
#include "video/image_files.h"
#include "video/sprite.h"
#include "video_fixture.h"

namespace {

// Each glyph cell of a font picture is filled with the colour (g, 255 - g, 7) for glyph g, except for its
// top-left pixel, which is black.
void FontPicture(DecodedImage& picture, int32_t width, int32_t height) {
    ASSERT_TRUE(SizeDecodedImage(picture, width, height));
    const int32_t cell_width = width / 16;
    const int32_t cell_height = width < height ? height / 16 : height / 8;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            const int32_t glyph = (y / cell_height) * 16 + x / cell_width;
            uint8_t* p = picture.rgba + (y * width + x) * 4;
            const bool corner = x % cell_width == 0 && y % cell_height == 0;
            p[0] = corner ? 0 : static_cast<uint8_t>(glyph);
            p[1] = corner ? 0 : static_cast<uint8_t>(255 - glyph);
            p[2] = corner ? 0 : 7;
            p[3] = 255;
        }
}

uint16_t GlyphColour(int32_t glyph) { return ColourTo565(glyph | (255 - glyph) << 8 | 7 << 16); }

}  // namespace

using Fonts = VideoTest;

TEST_F(Fonts, BuiltInExclamationMark) {
    BuildDefaultFont(0);
    const FontSlot& font = g_video_context->fonts[0];
    EXPECT_EQ(font.glyph_width, 8);
    EXPECT_EQ(font.glyph_height, 8);
    EXPECT_EQ(font.glyph_count, 128);
    const SpriteSlot& glyph = font.glyphs[33];
    ASSERT_EQ(glyph.width, 8);
    ASSERT_EQ(glyph.height, 8);
    EXPECT_EQ(glyph.key565, 0);
    // The glyph's set pixels are white, their four neighbours the dark outline (8, 8, 8), the rest of the cell
    // transparent (stored as the key, 0).
    for (int j = 0; j < 8; ++j)
        for (int k = 0; k < 8; ++k) {
            const uint16_t p = glyph.pixels[j * 8 + k];
            const bool white = k == 3 && (j == 2 || j == 3 || j == 4 || j == 6);
            const bool outline = (k == 2 || k == 4) && (j == 2 || j == 3 || j == 4 || j == 6);
            const bool outline_vertical = !white && k == 3 && (j == 1 || j == 5 || j == 7);
            if (white)
                EXPECT_EQ(p, 0xFFFF) << k << "," << j;
            else if (outline || outline_vertical)
                EXPECT_EQ(p, 0x0841) << k << "," << j;
            else
                EXPECT_EQ(p, 0) << k << "," << j;
        }
    for (int j = 0; j < 8; ++j) EXPECT_EQ(glyph.pixels[j * 8 + 7], 0);  // column 7 stays transparent
    // Codes below 32 are empty cells: every pixel transparent.
    const SpriteSlot& empty = font.glyphs[5];
    ASSERT_NE(empty.pixels, nullptr);
    EXPECT_EQ(empty.has_key_pixels, 1);
    for (int i = 0; i < 64; ++i) EXPECT_EQ(empty.pixels[i], 0);
    for (int j = 0; j < 8; ++j) EXPECT_EQ(empty.row_has_key[j], 1);
}

TEST_F(Fonts, PictureSizesGiveGlyphCountAndCellSize) {
    struct Case {
        int32_t width, height, glyph_width, glyph_height, count;
    };
    for (const Case& c : {Case{128, 64, 8, 8, 128}, Case{128, 256, 8, 16, 256}, Case{256, 256, 16, 32, 128}}) {
        DecodedImage picture;
        FontPicture(picture, c.width, c.height);
        FontSlot& font = g_video_context->fonts[2];
        BuildFontFromImage(font, picture);
        EXPECT_EQ(font.glyph_width, c.glyph_width);
        EXPECT_EQ(font.glyph_height, c.glyph_height);
        EXPECT_EQ(font.glyph_count, c.count);
        const int last = c.count - 1;
        ASSERT_EQ(font.glyphs[last].width, c.glyph_width);
        EXPECT_EQ(font.glyphs[last].pixels[1], GlyphColour(last));
        EXPECT_EQ(font.glyphs[last].pixels[0], 0);  // the opaque black corner
    }
}

TEST_F(Fonts, PrintTextAdvancesAndWrapsHighBytes) {
    DecodedImage picture;
    FontPicture(picture, 128, 64);
    BuildFontFromImage(g_video_context->fonts[1], picture);
    SetFont(1);
    Clear(0);
    PrintText(BasicString("AB"), 10.7f, 20.2f);
    EXPECT_EQ(Pixel(11, 20), GlyphColour(65));
    EXPECT_EQ(Pixel(17, 27), GlyphColour(65));
    EXPECT_EQ(Pixel(19, 20), GlyphColour(66));
    EXPECT_EQ(Pixel(26, 20), 0);
    Clear(0);
    PrintText(BasicString("\xC1\n"), 0, 0);  // 0xC1 draws glyph 0x41 of a 128-glyph font; a line break is glyph 10
    EXPECT_EQ(Pixel(1, 0), GlyphColour(0x41));
    EXPECT_EQ(Pixel(9, 0), GlyphColour(10));
    int32_t w, h;
    GetFontSize(w, h);
    EXPECT_EQ(w, 8);
    EXPECT_EQ(h, 8);
}

TEST_F(Fonts, LoadFontFallsBackToTheBuiltInFontAndClamps) {
    testing::internal::CaptureStdout();
    LoadFont(BasicString("no_such_font.png"), 3);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(CurrentFont(), 3);
    EXPECT_EQ(g_video_context->fonts[3].glyph_width, 8);
    EXPECT_EQ(g_video_context->fonts[3].glyphs[33].pixels[3 * 8 + 3], 0xFFFF);
    LoadFont(BasicString(), 40);
    EXPECT_EQ(CurrentFont(), 31);
    EXPECT_EQ(g_video_context->fonts[31].glyph_height, 8);
    SetFont(-2);
    EXPECT_EQ(CurrentFont(), 0);
    // An empty font draws nothing.
    Clear(0);
    PrintText(BasicString("hello"), 0, 0);
    EXPECT_EQ(PixelsEqualTo(0).size(), 320u * 240u);
}

TEST_F(Fonts, FontPicturesUseTheFontTransparentColour) {
    // 128 x 64: glyph cells of 8 x 8, magenta everywhere except in glyph 0x41: its top row holds one white
    // pixel, its second row is black with one white pixel.
    TemporaryDirectory directory;
    const std::string path = directory.File("font.bmp");
    std::vector<uint8_t> bgr(128 * 64 * 3);
    for (size_t i = 0; i < bgr.size(); i += 3) {
        bgr[i] = 255;
        bgr[i + 1] = 0;
        bgr[i + 2] = 255;
    }
    auto set = [&](int x, int y, uint8_t v) { bgr[(y * 128 + x) * 3] = bgr[(y * 128 + x) * 3 + 1] = bgr[(y * 128 + x) * 3 + 2] = v; };
    set(9, 32, 255);
    for (int x = 8; x < 16; ++x) set(x, 33, x == 9 ? 255 : 0);
    ASSERT_EQ(WriteImageFileExact(path.c_str(), bgr.data(), 128, 64, 128, 64), 1);
    SetTransparentColour(0xFF00FF);
    LoadFont(BasicString(path.c_str()), 4);
    const SpriteSlot& glyph = g_video_context->fonts[4].glyphs[0x41];
    ASSERT_EQ(glyph.width, 8);
    EXPECT_EQ(glyph.has_key_pixels, 1);
    Clear(0x1234);
    PrintText(BasicString("A"), 0, 0);
    EXPECT_EQ(Pixel(0, 0), 0x1234);  // magenta is transparent
    EXPECT_EQ(Pixel(1, 0), 0xFFFF);
    EXPECT_EQ(Pixel(0, 1), 0x0000);  // black is not
    EXPECT_EQ(Pixel(1, 1), 0xFFFF);
    EXPECT_EQ(glyph.row_has_key[1], 0);
    EXPECT_EQ(Pixel(0, 2), 0x1234);
}
