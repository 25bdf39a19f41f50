// Pictures: the SpriteSlot (an RGB565 picture with a colour key and per-row transparency marks), its size
// record SpriteInfo, and the operations the presentation needs to put a background picture on screen.
#pragma once

#include <cstdint>

struct SpriteSlot {
    int32_t width = 0;
    int32_t height = 0;
    uint16_t key565 = 0xF810;  // the key of a slot that was never filled
    uint8_t has_key_pixels = 0;
    uint16_t* pixels = nullptr;
    uint8_t* row_has_key = nullptr;
};

struct SpriteInfo {
    int32_t reserved[2] = {0, 0};
    int16_t alloc_width = -1;
    int16_t alloc_height = -1;
    int16_t logical_width = 0;
    int16_t logical_height = 0;
    int16_t frame_width = 0;
    int16_t frame_height = 0;
};

// Frees both arrays; width, height and has_key_pixels become 0, key565 keeps its value.
void EmptySlot(SpriteSlot& slot);
// Draws the source rectangle [sx0, sx1) x [sy0, sy1) of slot with its top-left corner at (x, y), relative to
// the clip origin, clipped to the clip rectangle, skipping key pixels and honouring the current blend.
void BlitImage(const SpriteSlot& slot, int32_t x, int32_t y, int32_t sx0, int32_t sy0, int32_t sx1, int32_t sy1);
// Puts a picture into the BackBuffer at (0, 0): a straight copy when it has exactly the BackBuffer's size.
void DrawBackgroundFull(const SpriteSlot& slot);
// Ends any redirection of drawing into an offscreen surface.
void EndOffscreen();
