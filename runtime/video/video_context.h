// RevuDIVavuduri: the one video context, and the presentation of the BackBuffer on the display.
//
// The context holds the picture tables, background pictures, fonts, screen size, viewport and frame deadline.
// The SDL video mode is opened once, at 16 bits per pixel; every frame the BackBuffer is copied to the SDL
// screen surface, the next frame is prepared (background picture or black, fresh depth values) and paced.
#pragma once

#include <cstdint>

#include "video/back_buffer.h"
#include "video/font.h"
#include "video/sprite.h"

constexpr int32_t kImageCount = 65536;
constexpr int32_t kBackgroundImageCount = 8;
constexpr int32_t kFontCount = 32;
constexpr int32_t kOffscreenCount = 32;

struct OffscreenEntry {
    int32_t reserved[2] = {0, 0};
    int32_t slot = 0;
};

class RevuDIVavuduri {
public:
    RevuDIVavuduri();
    virtual ~RevuDIVavuduri();
    RevuDIVavuduri(const RevuDIVavuduri&) = delete;
    RevuDIVavuduri& operator=(const RevuDIVavuduri&) = delete;

    // Opens the SDL video mode and the BackBuffer; ends the process with status 1 when SDL video cannot start.
    int OpenVideo(int32_t width, int32_t height, int32_t frame_rate);
    // Shows the BackBuffer, prepares the next frame and paces. 0.0 means the user asked to quit.
    double PresentAndPace();
    // A request for another mode. The handheld's display keeps the mode opened at start-up.
    void ChangeMode(int32_t width, int32_t height, int32_t fullscreen);

    SpriteInfo* image_info;
    float alpha_magnitude = 1.0f;
    OffscreenEntry offscreen[kOffscreenCount];
    int32_t drawing_target = -1;
    SpriteSlot* images;
    SpriteSlot background[kBackgroundImageCount];
    FontSlot fonts[kFontCount];
    int32_t screen_width = 0;
    int32_t screen_height = 0;
    int32_t bits_per_pixel = 16;
    uint8_t fullscreen = 0;
    int32_t viewport_x = 0;
    int32_t viewport_y = 0;
    int32_t viewport_width = 0;
    int32_t viewport_height = 0;
    int32_t transparent_colour = 0x8000FF;
    int32_t font_transparent_colour = 0;
    uint8_t initialised = 0;
    double next_deadline = 0;
    double frame_period = 0;
};

extern RevuDIVavuduri* g_video_context;

struct SDL_Surface;

// Copies the colour buffer to the SDL screen surface and resets the blend.
void CopyToDisplay();
// The copy itself, into any 16-bit surface: only the part both share, row by row when the surface's pitch
// is not the BackBuffer's row length.
void CopyFrameToSurface(SDL_Surface* surface);
