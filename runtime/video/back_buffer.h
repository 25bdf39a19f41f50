// The BackBuffer: the one software drawing surface that all 2D and 3D drawing goes into.
//
// RGB565 colour (red in bits 11..15) and a 16-bit depth value per pixel, rows top to bottom with no padding,
// the clip rectangle that every 2D operation respects, and the current blend (pixel_writer, blend_amount).
#pragma once

#include <cstdint>

using PixelWriter = void (*)(uint16_t* pixel, uint16_t colour);

// Stores the colour as it is (blend amount 0).
void WritePixelPlain(uint16_t* pixel, uint16_t colour);

struct BackBuffer {
    PixelWriter pixel_writer = WritePixelPlain;
    int32_t width = 0;
    int32_t height = 0;
    int32_t clip_x = 0;
    int32_t clip_y = 0;
    int32_t clip_width = 0;
    int32_t clip_height = 0;
    int16_t* depth_buffer = nullptr;
    int32_t depth_dirty = 0;
    uint16_t* colour_buffer = nullptr;
    int16_t blend_amount = 0;
    int32_t pixel_count = 0;
};

extern BackBuffer g_back_buffer;

// The depth value of an empty pixel.
constexpr uint16_t kEmptyDepth = 0x7F7F;

// Frees and reallocates both arrays at the given size, clip rectangle the whole surface, depth refilled.
void CreateBackBuffer(int32_t width, int32_t height);
void RefillDepthBuffer();
void ClearColourBuffer();

// 0x00BBGGRR (red in the low byte) to RGB565, and back as the display shows it.
inline uint16_t ColourTo565(int32_t colour) {
    const uint32_t c = static_cast<uint32_t>(colour);
    return static_cast<uint16_t>(((c << 8) & 0xF800) | ((c >> 5) & 0x07E0) | ((c >> 19) & 0x001F));
}
inline int32_t Colour565ToRgb(uint16_t pixel) {
    const int32_t red = (pixel >> 11) << 3;
    const int32_t green = ((pixel >> 5) & 63) << 2;
    const int32_t blue = (pixel & 31) << 3;
    return red | (green << 8) | (blue << 16);
}
