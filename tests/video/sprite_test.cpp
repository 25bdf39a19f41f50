// The picture store: conversion with colour keys, opaque and keyed blits with clipping and viewports,
// animation frames, captures and offscreen surfaces.
#include "video/decoded_image.h"
#include "video/sprite.h"
#include "video_fixture.h"

namespace {

// A w x h picture whose pixel (x, y) has red x, green y, blue 1 + (x + y) % 100, alpha 255 (never a key).
void GradientPicture(DecodedImage& image, int32_t w, int32_t h) {
    ASSERT_TRUE(SizeDecodedImage(image, w, h));
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            uint8_t* p = image.rgba + (y * w + x) * 4;
            p[0] = static_cast<uint8_t>(x * 8);
            p[1] = static_cast<uint8_t>(y * 4);
            p[2] = static_cast<uint8_t>(8 + ((x + y) % 30) * 8);
            p[3] = 255;
        }
}

uint16_t GradientAt(int32_t x, int32_t y) {
    return static_cast<uint16_t>(((x * 8 & 255) >> 3) << 11 | ((y * 4 & 255) >> 2) << 5 | ((8 + ((x + y) % 30) * 8) >> 3));
}

}  // namespace

using Sprites = VideoTest;

TEST_F(Sprites, TransparencyComesFromAlphaAndMarksOnlyItsRows) {
    DecodedImage image;
    GradientPicture(image, 8, 6);
    image.rgba[(3 * 8 + 2) * 4 + 3] = 4;  // alpha 4 counts as transparent
    image.rgba[(4 * 8 + 2) * 4 + 3] = 5;  // alpha 5 does not
    SpriteSlot slot;
    ConvertToSprite(slot, image, 0x8000FF);
    ASSERT_EQ(slot.width, 8);
    ASSERT_EQ(slot.height, 6);
    EXPECT_EQ(slot.has_key_pixels, 1);
    EXPECT_EQ(slot.key565, 0xF810);
    for (int r = 0; r < 6; ++r) EXPECT_EQ(slot.row_has_key[r], r == 3 ? 1 : 0) << r;
    EXPECT_EQ(slot.pixels[3 * 8 + 2], 0xF810);

    Clear(0x1234);
    BlitImage(slot, 0, 0, 0, 0, 8, 6);
    EXPECT_EQ(Pixel(2, 3), 0x1234);  // the transparent pixel is skipped
    EXPECT_EQ(Pixel(1, 3), GradientAt(1, 3));
    EXPECT_EQ(Pixel(3, 3), GradientAt(3, 3));
    EXPECT_EQ(Pixel(2, 4), GradientAt(2, 4));
    EmptySlot(slot);
    EXPECT_EQ(slot.key565, 0xF810);  // emptying keeps the key
}

TEST_F(Sprites, OpaquePictureHasNoKeyAndDrawsWhite) {
    DecodedImage image;
    ASSERT_TRUE(SizeDecodedImage(image, 4, 4));
    for (int i = 0; i < 16 * 4; ++i) image.rgba[i] = 255;
    SpriteSlot slot;
    ConvertToSprite(slot, image, -1);  // key -1 is 0xFFFF too, but white is opaque here
    EXPECT_EQ(slot.has_key_pixels, 0);
    EXPECT_EQ(slot.key565, 0xFFFF);
    Clear(0);
    BlitImage(slot, 0, 0, 0, 0, 4, 4);
    EXPECT_EQ(PixelsEqualTo(0xFFFF).size(), 16u);
    EmptySlot(slot);
}

TEST_F(Sprites, BlitClipsAgainstTheScreenAndTheViewport) {
    DecodedImage image;
    GradientPicture(image, 32, 32);
    SpriteSlot slot;
    ConvertToSprite(slot, image, 0x8000FF);

    Clear(0);
    BlitImage(slot, -10, -5, 0, 0, 32, 32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(Pixel(x, y), (x < 22 && y < 27) ? GradientAt(x + 10, y + 5) : 0) << x << "," << y;

    Clear(0);
    SetViewport(100, 50, 16, 16);
    BlitImage(slot, 0, 0, 0, 0, 32, 32);
    SetViewport(0, 0, 0, 0);
    int drawn = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x)
            if (Pixel(x, y) != 0) {
                ASSERT_TRUE(x >= 100 && x < 116 && y >= 50 && y < 66) << x << "," << y;
                ASSERT_EQ(Pixel(x, y), GradientAt(x - 100, y - 50));
                ++drawn;
            }
    EXPECT_EQ(drawn, 16 * 16);

    Clear(0);
    BlitImage(slot, 310, 235, 0, 0, 32, 32);  // bottom-right corner
    EXPECT_EQ(Pixel(319, 239), GradientAt(9, 4));
    // Source rectangles that start outside the picture read nothing outside it.
    BlitImage(slot, 0, 0, -40, -40, 8, 8);
    BlitImage(slot, 0, 0, 30, 30, 100, 100);
    BlitImage(slot, 0, 0, 40, 40, 50, 50);
    EmptySlot(slot);
}

TEST_F(Sprites, KeyedBlitWithBlendSkipsKeyPixels) {
    DecodedImage image;
    ASSERT_TRUE(SizeDecodedImage(image, 2, 1));
    image.rgba[0] = image.rgba[1] = image.rgba[2] = image.rgba[3] = 255;  // white, then transparent
    SpriteSlot slot;
    ConvertToSprite(slot, image, 0);
    Clear(0);
    SetBlend(-128);
    BlitImage(slot, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(Pixel(0, 0), 0x7BEF);
    EXPECT_EQ(Pixel(1, 0), 0);
    SetBlend(128);  // additive on top: half of white added, saturating
    BlitImage(slot, 0, 0, 0, 0, 2, 1);
    EXPECT_EQ(Pixel(0, 0), 0xF7DE);
    EXPECT_EQ(Pixel(1, 0), 0);
    EmptySlot(slot);
}

TEST_F(Sprites, AnimationFrames) {
    DecodedImage image;
    GradientPicture(image, 64, 32);
    SpriteSlot& slot = g_video_context->images[9];
    ConvertToSprite(slot, image, 0x8000FF);
    SpriteInfo& info = g_video_context->image_info[9];
    info.logical_width = 64;
    info.logical_height = 32;

    Clear(0);
    BlitAnimFrame(9, 5, 0, 0);  // no frame size yet
    EXPECT_TRUE(PixelsEqualTo(0).size() == 320u * 240u);

    info.frame_width = 16;
    info.frame_height = 16;
    BlitAnimFrame(9, 5, 100, 100);  // frame 5: column 1, row 1
    EXPECT_EQ(Pixel(100, 100), GradientAt(16, 16));
    EXPECT_EQ(Pixel(115, 115), GradientAt(31, 31));
    EXPECT_EQ(Pixel(116, 100), 0);
    Clear(0);
    BlitAnimFrame(9, 8, 0, 0);  // past the strip
    BlitAnimFrame(9, -3, 0, 0);
    EXPECT_EQ(PixelsEqualTo(0).size(), 320u * 240u);
}

TEST_F(Sprites, CapturesPartlyAndWhollyOffScreen) {
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) Pixel(x, y) = static_cast<uint16_t>(x + y * 3 + 1);
    CaptureSprite(4, -5, 0, 10, 10);
    const SpriteSlot& slot = g_video_context->images[4];
    ASSERT_EQ(slot.width, 10);
    ASSERT_EQ(slot.height, 10);
    EXPECT_EQ(slot.has_key_pixels, 1);
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(slot.row_has_key[r], 1);
        for (int c = 0; c < 10; ++c)
            EXPECT_EQ(slot.pixels[r * 10 + c], c < 5 ? ColourTo565(0x8000FF) : static_cast<uint16_t>(c - 5 + r * 3 + 1));
    }
    EXPECT_EQ(g_video_context->image_info[4].logical_width, 10);
    EXPECT_EQ(g_video_context->image_info[4].alloc_height, 10);

    CaptureSprite(5, -30, 0, 10, 10);
    EXPECT_EQ(g_video_context->images[5].width, 10);
    EXPECT_EQ(g_video_context->images[5].pixels, nullptr);
    Clear(0);
    BlitSprite(5, 0, 0);
    EXPECT_EQ(PixelsEqualTo(0).size(), 320u * 240u);

    // A fully inside capture: opaque, key 0xFFFF, no marks.
    CaptureSprite(6, 0, 0, 4, 4);
    EXPECT_EQ(g_video_context->images[6].has_key_pixels, 0);
    EXPECT_EQ(g_video_context->images[6].key565, 0xFFFF);
}

TEST_F(Sprites, OffscreenSurfaceRoundTrip) {
    g_video_context->initialised = 1;
    CreateOffscreen(0, 7, 100, 50);
    const SpriteInfo& info = g_video_context->image_info[7];
    EXPECT_EQ(info.alloc_width, 128);
    EXPECT_EQ(info.alloc_height, 64);
    EXPECT_EQ(info.logical_width, 100);
    EXPECT_EQ(info.logical_height, 50);
    EXPECT_EQ(g_video_context->images[7].width, 128);

    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) Pixel(x, y) = static_cast<uint16_t>(0x0101 + (x % 7));
    SelectOffscreen(0);
    EXPECT_EQ(g_video_context->drawing_target, 0);
    EXPECT_EQ(Pixel(10, 10), ColourTo565(0x8000FF));  // the empty surface shows in the transparent colour
    FillRectangle(10, 10, 200, 5, 0x00FF00);            // clipped to the 100 x 50 surface
    EndOffscreen();                                     // what every presentation does first
    EXPECT_EQ(g_video_context->drawing_target, -1);

    const SpriteSlot& slot = g_video_context->images[7];
    ASSERT_EQ(slot.width, 100);
    ASSERT_EQ(slot.height, 50);
    EXPECT_EQ(slot.pixels[10 * 100 + 10], 0x07E0);
    EXPECT_EQ(slot.pixels[10 * 100 + 99], 0x07E0);
    EXPECT_EQ(slot.pixels[9 * 100 + 10], slot.key565);
    // The screen under the surface is back, and nothing was drawn beyond it.
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) ASSERT_EQ(Pixel(x, y), 0x0101 + (x % 7)) << x << "," << y;
    EXPECT_EQ(g_back_buffer.clip_width, 320);
}

TEST_F(Sprites, TransparentColourAppliesToCapturesAndFonts) {
    SetTransparentColour(0);
    EXPECT_EQ(g_video_context->transparent_colour, 0);
    EXPECT_EQ(g_video_context->font_transparent_colour, 0);
    Clear(0);
    Pixel(1, 1) = 0xFFFF;
    CaptureSprite(3, 0, 0, 3, 3);
    const SpriteSlot& slot = g_video_context->images[3];
    EXPECT_EQ(slot.key565, 0);
    EXPECT_EQ(slot.has_key_pixels, 1);
    Clear(0x1111);
    BlitSprite(3, 0, 0);
    EXPECT_EQ(Pixel(0, 0), 0x1111);
    EXPECT_EQ(Pixel(1, 1), 0xFFFF);
}

TEST_F(Sprites, NumbersOutsideTheTablesAreIgnored) {
    CaptureSprite(65536, 0, 0, 4, 4);
    CaptureSprite(-1, 0, 0, 4, 4);
    BlitSprite(70000, 0, 0);
    EmptySprite(-5);
    CreateOffscreen(32, 1, 10, 10);
    SelectOffscreen(40);
    int32_t w = -1, h = -1;
    QuerySpriteSize(65536, w, h);
    EXPECT_EQ(w, 0);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(g_video_context->drawing_target, -1);
    EXPECT_EQ(g_video_context->images[1].width, 0);
    // A surface never created names picture 0 and has no size: selecting it must not wipe picture 0.
    CaptureSprite(0, 0, 0, 4, 4);
    SelectOffscreen(5);
    EndOffscreen();
    EXPECT_EQ(g_video_context->drawing_target, -1);
    EXPECT_EQ(g_video_context->images[0].width, 4);
    EXPECT_NE(g_video_context->images[0].pixels, nullptr);
}
