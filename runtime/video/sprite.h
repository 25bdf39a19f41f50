// The picture store and its blitter: SpriteSlot (an RGB565 picture with a colour key and per-row
// transparency marks), its size record SpriteInfo, conversion from decoded pictures, the clipped and keyed
// blit into the BackBuffer, captures from the screen, the transparent colour, and offscreen surfaces
// (drawing redirected into a numbered picture).
//
// Pictures are kept in the display's own format so that an opaque draw is a memory copy; a row without a
// transparent pixel is copied whole even in a picture that has some. Positions are relative to the clip
// origin. Picture numbers outside 0..65535 and surfaces outside 0..31 are ignored by every command.
#pragma once

#include <cstdint>

struct DecodedImage;

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

// Inclusive corners of the part of a decoded picture to take.
struct SourceRect {
    int32_t x0, x1, y0, y1;
};

// The scratch slot that keeps the screen area under a selected offscreen surface.
constexpr int32_t kOffscreenScratchSlot = 65503;

// Frees both arrays; width, height and has_key_pixels become 0, key565 keeps its value.
void EmptySlot(SpriteSlot& slot);
// Fills the slot from a decoded picture (all of it, or the inclusive rectangle). Pixels with alpha 4 or less
// become key565 = RGB565 of key_colour; with no such pixel key565 becomes 0xFFFF.
void ConvertToSprite(SpriteSlot& slot, const DecodedImage& decoded, int32_t key_colour,
                     const SourceRect* rect = nullptr);
// Draws the source rectangle [sx0, sx1) x [sy0, sy1) of slot with its top-left corner at (x, y), clipped to
// the clip rectangle, skipping key pixels of marked rows and honouring the current blend.
void BlitImage(const SpriteSlot& slot, int32_t x, int32_t y, int32_t sx0, int32_t sy0, int32_t sx1, int32_t sy1);
// Puts a picture into the BackBuffer at (0, 0): a straight copy when it has exactly the BackBuffer's size.
void DrawBackgroundFull(const SpriteSlot& slot);
// Fills the slot from the BackBuffer: the |x1 - x0| x |y1 - y0| area whose top-left corner is (x0, y0).
// Parts outside the clip rectangle come out transparent.
void CaptureRect(SpriteSlot& slot, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t key_colour);

// The numbered slot and its size record; null for a number outside 0..65535 or without a video context.
SpriteSlot* NumberedSlot(int32_t number);
SpriteInfo* NumberedInfo(int32_t number);

void EmptySprite(int32_t number);
void BlitSprite(int32_t number, int32_t x, int32_t y);
// One frame of an animation strip: frames left to right, then top to bottom, of the slot's frame size.
void BlitAnimFrame(int32_t number, int32_t frame, int32_t x, int32_t y);
void CaptureSprite(int32_t number, int32_t x, int32_t y, int32_t w, int32_t h);
// The current screen becomes the background picture.
void CaptureBackground();
void QuerySpriteSize(int32_t number, int32_t& width, int32_t& height);
void QuerySpriteSize(int32_t number, float& width, float& height);
int32_t QuerySpriteHandle(int32_t number);
// Sets the colour key of later loads and captures, and of font pictures.
void SetTransparentColour(int32_t colour);

// Makes slot `number` a w x h drawing surface (stored at power-of-two size, fully transparent) for `surface`.
void CreateOffscreen(int32_t surface, int32_t number, int32_t w, int32_t h);
// Redirects drawing into the surface's slot; a negative surface ends redirection.
void SelectOffscreen(int32_t surface);
// Takes the drawing back into the slot and restores the screen area; run before every frame is shown.
void EndOffscreen();
