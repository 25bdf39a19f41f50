// The video context: opening the mode, copying frames to the display, preparing the next frame.
#include "video/video_context.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

#include "frame/system_calls.h"
#include "frame/timing.h"
#include "rasterizer/pipeline.h"
#include "video/screen.h"
#include "video/snapshot.h"

RevuDIVavuduri* g_video_context = nullptr;

RevuDIVavuduri::RevuDIVavuduri() : image_info(new SpriteInfo[kImageCount]), images(new SpriteSlot[kImageCount]) {}

RevuDIVavuduri::~RevuDIVavuduri() {
    for (int32_t i = 0; i < kImageCount; ++i) EmptySlot(images[i]);
    for (SpriteSlot& slot : background) EmptySlot(slot);
    for (FontSlot& font : fonts)
        for (SpriteSlot& glyph : font.glyphs) EmptySlot(glyph);
    delete[] images;
    delete[] image_info;
}

int RevuDIVavuduri::OpenVideo(int32_t width, int32_t height, int32_t frame_rate) {
    frame_period = FramePeriodFor(frame_rate);
    if (SDL_Init(SDL_INIT_VIDEO) < 0) {
        fprintf(stderr, "Couldn't initialize SDL: %s\n", SDL_GetError());
        System().exit_process(1);
        return 0;
    }
    puts("Set Vidmode");
    // A mode that cannot be set leaves no screen surface to report on or draw into; that ends the program
    // the same way as a failed SDL start.
    if (SDL_SetVideoMode(width, height, 16, SDL_DOUBLEBUF) == nullptr) {
        fprintf(stderr, "Couldn't set video mode: %s\n", SDL_GetError());
        System().exit_process(1);
        return 0;
    }
    printf("Screen BPP: %d\n", SDL_GetVideoSurface()->format->BitsPerPixel);
    putchar('\n');
    screen_width = width;
    screen_height = height;
    bits_per_pixel = 16;
    fullscreen = 0;
    CreateBackBuffer(width, height);
    next_deadline = TickNow();
    puts("FBO");
    puts("Viewport");
    SetViewport(0, 0, 0, 0);
    puts("GFX seem OK");
    initialised = 1;
    return 1;
}

void RevuDIVavuduri::ChangeMode(int32_t, int32_t, int32_t) {}

void CopyFrameToSurface(SDL_Surface* surface) {
    if (g_back_buffer.colour_buffer == nullptr) return;
    SDL_LockSurface(surface);
    // A desktop surface may have a wider pitch than width x 2; rows are then copied one at a time.
    const int32_t columns = surface->w < g_back_buffer.width ? surface->w : g_back_buffer.width;
    const int32_t rows = surface->h < g_back_buffer.height ? surface->h : g_back_buffer.height;
    const size_t row_bytes = static_cast<size_t>(columns) * 2;
    uint8_t* target = static_cast<uint8_t*>(surface->pixels);
    const uint16_t* source = g_back_buffer.colour_buffer;
    if (surface->pitch == g_back_buffer.width * 2 && columns == g_back_buffer.width) {
        memcpy(target, source, row_bytes * rows);
    } else {
        for (int32_t row = 0; row < rows; ++row)
            memcpy(target + static_cast<size_t>(row) * surface->pitch,
                   source + static_cast<size_t>(row) * g_back_buffer.width, row_bytes);
    }
    SDL_UnlockSurface(surface);
}

void CopyToDisplay() {
    SDL_Surface* surface = SDL_GetVideoSurface();
    if (surface == nullptr) {
        puts("SDL_GetVideoSurface == NULL");
    } else if (surface->format->BitsPerPixel == 16) {
        CopyFrameToSurface(surface);
        SDL_UpdateRect(surface, 0, 0, 0, 0);
    }
    RememberShownFrame();
    SetTargetBuffers(g_back_buffer.colour_buffer, g_back_buffer.depth_buffer);
    g_back_buffer.pixel_writer = WritePixelPlain;
    g_back_buffer.blend_amount = 0;
}

double RevuDIVavuduri::PresentAndPace() {
    EndOffscreen();
    CopyToDisplay();
    if (background[0].height != 0) {
        DrawBackgroundFull(background[0]);
    } else {
        ClearColourBuffer();
    }
    if (g_back_buffer.depth_dirty) {
        RefillDepthBuffer();
        g_back_buffer.depth_dirty = 0;
    }
    return PaceToDeadline(next_deadline, frame_period);
}
