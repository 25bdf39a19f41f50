// Screen commands over the video context and the BackBuffer.
#include "video/screen.h"

#include <algorithm>

#include "frame/program.h"
#include "frame/timing.h"
#include "input/input_device.h"
#include "input/window_events.h"
#include "rasterizer/pipeline.h"
#include "scene3d/scene.h"
#include "video/back_buffer.h"
#include "video/video_context.h"

namespace {
bool g_quit_combination_allowed = true;
}  // namespace

void PresentFrame() {
    AdvanceFrameTimers();
    ReadButtonWord();
    if (g_input_device != nullptr) g_input_device->fresh = 1;
    if (g_quit_combination_allowed) {
        JoystickState state;
        ReadJoystickState(state);
        if (state.buttons[7] && state.buttons[8]) EndProgram();
    }
    if (g_scene3d != nullptr) g_scene3d->frame_flag = 0;
    if (PollWindowEvents() == 0) EndProgram();
    if (g_video_context == nullptr) return;
    if (g_video_context->PresentAndPace() == 0.0) EndProgram();
    g_back_buffer.pixel_writer = WritePixelPlain;
    g_back_buffer.blend_amount = 0;
    g_video_context->alpha_magnitude = 1.0f;
    const SpriteSlot& background = g_video_context->background[0];
    BlitImage(background, 0, 0, 0, 0, background.width, background.height);
    SetViewport(0, 0, 0, 0);
    if (g_scene3d != nullptr) g_scene3d->texture_setting = 0;
}

void SetScreenMode(int32_t width, int32_t height, int32_t fullscreen) {
    g_startup_settings.screen_width = width;
    g_startup_settings.screen_height = height;
    g_startup_settings.fullscreen = fullscreen;
    if (g_video_context != nullptr) g_video_context->ChangeMode(width, height, fullscreen);
    for (int i = 0; i < 5; ++i) PresentFrame();
}

void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    BackBuffer& buffer = g_back_buffer;
    if (width < 1 || height < 1) {
        width = buffer.width;
        height = buffer.height;
        buffer.clip_x = 0;
        buffer.clip_y = 0;
        buffer.clip_width = buffer.width;
        buffer.clip_height = buffer.height;
    } else {
        buffer.clip_x = std::max(x, 0);
        buffer.clip_y = std::max(y, 0);
        buffer.clip_width = width;
        buffer.clip_height = height;
        if (buffer.clip_x + buffer.clip_width > buffer.width) buffer.clip_width = buffer.width - buffer.clip_x;
        if (buffer.clip_y + buffer.clip_height > buffer.height) buffer.clip_height = buffer.height - buffer.clip_y;
    }
    if (g_video_context != nullptr) {
        g_video_context->viewport_x = x;
        g_video_context->viewport_y = y;
        g_video_context->viewport_width = width;
        g_video_context->viewport_height = height;
    }
    // Flat drawing through the 3D pipeline: pipeline coordinates become pixels, origin at the top left.
    SetCullFace(1028);
    LoadIdentity();
    EnableDepthTest(false);
    SetPipelineViewport(x, y, width, height);
    SetOrtho(0, static_cast<float>(width), static_cast<float>(height), 0, -1.0f, 1.0f);
}

void GetViewport(int32_t& x, int32_t& y, int32_t& width, int32_t& height) {
    x = y = width = height = 0;
    if (g_video_context == nullptr) return;
    x = g_video_context->viewport_x;
    y = g_video_context->viewport_y;
    width = g_video_context->viewport_width;
    height = g_video_context->viewport_height;
}

void GetViewport(float& x, float& y, float& width, float& height) {
    int32_t ix, iy, iw, ih;
    GetViewport(ix, iy, iw, ih);
    x = static_cast<float>(ix);
    y = static_cast<float>(iy);
    width = static_cast<float>(iw);
    height = static_cast<float>(ih);
}

void GetScreenSize(int32_t& width, int32_t& height) {
    width = g_video_context != nullptr ? g_video_context->screen_width : 0;
    height = g_video_context != nullptr ? g_video_context->screen_height : 0;
}

void GetScreenSize(float& width, float& height) {
    int32_t w, h;
    GetScreenSize(w, h);
    width = static_cast<float>(w);
    height = static_cast<float>(h);
}

int32_t ReadPixel(int32_t x, int32_t y) {
    const int64_t column = static_cast<int64_t>(x) + g_back_buffer.clip_x;
    const int64_t row = static_cast<int64_t>(y) + g_back_buffer.clip_y;
    if (column < 0 || row < 0 || column >= g_back_buffer.width || row >= g_back_buffer.height) return 0;
    return Colour565ToRgb(g_back_buffer.colour_buffer[row * g_back_buffer.width + column]);
}

int32_t IsFullscreen() { return g_video_context != nullptr ? g_video_context->fullscreen : 0; }

void SetFullscreenFlag(int32_t fullscreen) {
    if (g_video_context != nullptr) g_video_context->fullscreen = fullscreen != 0 ? 1 : 0;
}

void AllowQuitCombination(float value) { g_quit_combination_allowed = value != 0.0f; }

bool QuitCombinationAllowed() { return g_quit_combination_allowed; }

void ClearBackground() {
    if (g_video_context != nullptr) EmptySlot(g_video_context->background[0]);
    ClearColourBuffer();
}
