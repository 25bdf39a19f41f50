// Opening video, the viewport and its clip rectangle, reading pixels back, copying frames to the display and
// preparing the next frame, on SDL's dummy video driver.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdio>
#include <string>

#include "frame/program.h"
#include "frame/system_calls.h"
#include "frame/timing.h"
#include "input/input_device.h"
#include "rasterizer/pipeline.h"
#include "support/process_runner.h"
#include "video/back_buffer.h"
#include "video/screen.h"
#include "video/video_context.h"

namespace {

// An opened video context of the given size; torn down with SDL after each test.
class OpenedVideo : public ::testing::Test {
protected:
    void Open(int32_t width, int32_t height) {
        testing::internal::CaptureStdout();
        g_video_context = new RevuDIVavuduri();
        g_video_context->OpenVideo(width, height, 60);
        open_output_ = testing::internal::GetCapturedStdout();
    }
    void SetUp() override { Open(320, 240); }
    void TearDown() override {
        delete g_video_context;
        g_video_context = nullptr;
        SDL_Quit();
    }
    std::string open_output_;
};

TEST_F(OpenedVideo, OpensSixteenBitsWithItsLinesAndTheWholeScreenAsViewport) {
    EXPECT_EQ(open_output_, "Set Vidmode\nScreen BPP: 16\n\nFBO\nViewport\nGFX seem OK\n");
    EXPECT_EQ(g_video_context->initialised, 1);
    EXPECT_EQ(g_video_context->fullscreen, 0);
    EXPECT_EQ(SDL_GetVideoSurface()->format->BitsPerPixel, 16);
    EXPECT_EQ(g_back_buffer.width, 320);
    EXPECT_EQ(g_back_buffer.pixel_count, 320 * 240);
    EXPECT_DOUBLE_EQ(g_video_context->frame_period, 1000.0 / 60);
    for (int32_t i = 0; i < g_back_buffer.pixel_count; ++i) ASSERT_EQ(g_back_buffer.depth_buffer[i], 0x7F7F);
    int32_t width, height;
    GetScreenSize(width, height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    EXPECT_EQ(Pipeline().colour_buffer, g_back_buffer.colour_buffer);
    EXPECT_EQ(Pipeline().row_length, 320);
}

TEST_F(OpenedVideo, ViewportSetsTheClipRectangleAndTheFlatPipeline) {
    struct Case {
        int32_t x, y, width, height;
        int32_t clip[4];
        int32_t stored[4];
    };
    const Case cases[] = {
        {10, 10, 0, 100, {0, 0, 320, 240}, {10, 10, 320, 240}},
        {300, 0, 100, 240, {300, 0, 20, 240}, {300, 0, 100, 240}},
        {-10, 0, 100, 100, {0, 0, 100, 100}, {-10, 0, 100, 100}},
        {0, 200, 50, 100, {0, 200, 50, 40}, {0, 200, 50, 100}},
        {5, 6, 7, -1, {0, 0, 320, 240}, {5, 6, 320, 240}},
    };
    for (const Case& c : cases) {
        SetViewport(c.x, c.y, c.width, c.height);
        const int32_t clip[4] = {g_back_buffer.clip_x, g_back_buffer.clip_y, g_back_buffer.clip_width,
                                 g_back_buffer.clip_height};
        int32_t stored[4];
        GetViewport(stored[0], stored[1], stored[2], stored[3]);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(clip[i], c.clip[i]) << c.x << "," << c.y << "," << c.width << "," << c.height << " #" << i;
            EXPECT_EQ(stored[i], c.stored[i]) << c.x << "," << c.y << "," << c.width << "," << c.height << " #" << i;
        }
        // Pipeline coordinates are pixels, origin top left, over the unclipped viewport.
        EXPECT_EQ(Pipeline().ortho[1], static_cast<float>(c.stored[2]));
        EXPECT_EQ(Pipeline().ortho[2], static_cast<float>(c.stored[3]));
        EXPECT_EQ(Pipeline().ortho[3], 0.0f);
        EXPECT_EQ(Pipeline().cull_face, 1028);
        EXPECT_FALSE(Pipeline().depth_test);
    }
    float x, y, w, h;
    SetViewport(1, 2, 3, 4);
    GetViewport(x, y, w, h);
    EXPECT_EQ(x + y + w + h, 10.0f);
}

TEST_F(OpenedVideo, ReadPixelIsRelativeToTheClipOriginAndZeroOutside) {
    g_back_buffer.colour_buffer[0] = 0xFFFF;
    g_back_buffer.colour_buffer[12 * 320 + 11] = 0xF800;        // pure red
    g_back_buffer.colour_buffer[239 * 320 + 319] = 0x07E0;      // pure green
    EXPECT_EQ(ReadPixel(0, 0), 248 | (252 << 8) | (248 << 16));
    EXPECT_EQ(ReadPixel(319, 239), 252 << 8);
    EXPECT_EQ(ReadPixel(-1, 0), 0);
    EXPECT_EQ(ReadPixel(320, 0), 0);
    EXPECT_EQ(ReadPixel(0, 240), 0);
    SetViewport(10, 10, 50, 50);
    EXPECT_EQ(ReadPixel(1, 2), 248);
    EXPECT_EQ(ReadPixel(-10, -10), 248 | (252 << 8) | (248 << 16));
    // Pixels outside the clip rectangle but inside the BackBuffer still read back.
    EXPECT_EQ(ReadPixel(309, 229), 252 << 8);
    EXPECT_EQ(ReadPixel(310, 0), 0);
}

TEST_F(OpenedVideo, CopyToDisplayShowsTheFrameAndResetsTheBlend) {
    for (int32_t i = 0; i < g_back_buffer.pixel_count; ++i) g_back_buffer.colour_buffer[i] = static_cast<uint16_t>(i * 7);
    g_back_buffer.blend_amount = 100;
    g_back_buffer.pixel_writer = nullptr;
    CopyToDisplay();
    SDL_Surface* surface = SDL_GetVideoSurface();
    for (int32_t row = 0; row < 240; ++row)
        for (int32_t column = 0; column < 320; ++column)
            ASSERT_EQ(static_cast<uint16_t*>(surface->pixels)[row * surface->pitch / 2 + column],
                      static_cast<uint16_t>((row * 320 + column) * 7));
    EXPECT_EQ(g_back_buffer.blend_amount, 0);
    EXPECT_EQ(g_back_buffer.pixel_writer, WritePixelPlain);
}

TEST_F(OpenedVideo, CopyHonoursASurfaceWithAWiderPitch) {
    TearDown();
    Open(321, 7);
    // A 16-bit surface of odd width: its rows of 642 bytes are padded to a pitch of 644.
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 321, 7, 16, 0xF800, 0x07E0, 0x001F, 0);
    ASSERT_NE(surface, nullptr);
    ASSERT_EQ(surface->pitch, 644);
    for (int32_t i = 0; i < g_back_buffer.pixel_count; ++i) g_back_buffer.colour_buffer[i] = static_cast<uint16_t>(i + 1);
    CopyFrameToSurface(surface);
    for (int32_t row = 0; row < 7; ++row)
        for (int32_t column = 0; column < 321; ++column)
            ASSERT_EQ(static_cast<uint16_t*>(surface->pixels)[row * surface->pitch / 2 + column],
                      static_cast<uint16_t>(row * 321 + column + 1))
                << row << "," << column;
    SDL_FreeSurface(surface);
}

TEST_F(OpenedVideo, PresentationPreparesTheNextFrameFromTheBackground) {
    // Black without a background picture; fresh depth values only when the 3D layer drew.
    g_back_buffer.colour_buffer[5] = 0x1234;
    g_back_buffer.depth_buffer[5] = 3;
    g_video_context->next_deadline = 0;  // no waiting
    EXPECT_NE(g_video_context->PresentAndPace(), 0.0);
    EXPECT_EQ(g_back_buffer.colour_buffer[5], 0);
    EXPECT_EQ(g_back_buffer.depth_buffer[5], 3);
    g_back_buffer.depth_dirty = 1;
    g_video_context->PresentAndPace();
    EXPECT_EQ(g_back_buffer.depth_buffer[5], 0x7F7F);
    EXPECT_EQ(g_back_buffer.depth_dirty, 0);

    // A background of the screen's size is copied whole; a smaller one is drawn at the top left.
    SpriteSlot& background = g_video_context->background[0];
    background.width = 320;
    background.height = 240;
    background.key565 = 0xFFFF;
    background.pixels = new uint16_t[320 * 240];
    background.row_has_key = new uint8_t[240]();
    for (int32_t i = 0; i < 320 * 240; ++i) background.pixels[i] = 0xABCD;
    g_video_context->PresentAndPace();
    EXPECT_EQ(g_back_buffer.colour_buffer[0], 0xABCD);
    EXPECT_EQ(g_back_buffer.colour_buffer[320 * 240 - 1], 0xABCD);
    ClearBackground();
    EXPECT_EQ(background.pixels, nullptr);
    EXPECT_EQ(background.height, 0);
    EXPECT_EQ(g_back_buffer.colour_buffer[0], 0);
}

// PresentFrame reads the buttons and may end the program, so it runs in a child.
TEST(PresentFrame, ReturnsOpaqueWithTheWholeViewportAndReadsTheButtonsOnce) {
    const ProcessResult result = RunInChild([] {
        unsetenv("KORVANE_GPIO");
        g_video_context = new RevuDIVavuduri();
        g_video_context->OpenVideo(320, 240, 60);
        CreateInputDevice();
        OpenButtonDevice();
        puts("");
        SetViewport(10, 10, 20, 20);
        g_back_buffer.blend_amount = -100;
        g_video_context->alpha_magnitude = 0.25f;
        SetScreenMode(640, 480, 1);
        int32_t width, height;
        GetScreenSize(width, height);
        printf("size=%dx%d settings=%dx%d,%d clip=%d,%d,%d,%d blend=%d alpha=%g\n", width, height,
               g_startup_settings.screen_width, g_startup_settings.screen_height, g_startup_settings.fullscreen,
               g_back_buffer.clip_x, g_back_buffer.clip_y, g_back_buffer.clip_width, g_back_buffer.clip_height,
               g_back_buffer.blend_amount, g_video_context->alpha_magnitude);
    });
    EXPECT_EQ(result.exit_status, 0);
    // Five frames, each reading the (missing) button device once.
    EXPECT_EQ(result.output,
              "Set Vidmode\nScreen BPP: 16\n\nFBO\nViewport\nGFX seem OK\n"
              "GPIO device not present\n"
              "GPIO READ ERROR\nGPIO READ ERROR\nGPIO READ ERROR\nGPIO READ ERROR\nGPIO READ ERROR\n"
              "size=320x240 settings=640x480,1 clip=0,0,320,240 blend=0 alpha=1\n")
        << result.output;
}

// Quit requests seen by PresentFrame end the program normally.
TEST(PresentFrame, QuitRequestsEndTheProgramNormally) {
    struct Case {
        const char* name;
        uint32_t buttons;
        bool allow_combination;
        int event_type;  // 0: none
        int key;
        bool ends;
    };
    const Case cases[] = {
        {"quit combination", (1u << 16) | (1u << 17), true, 0, 0, true},
        {"combination switched off", (1u << 16) | (1u << 17), false, 0, 0, false},
        {"one of the two", 1u << 16, true, 0, 0, false},
        {"escape key", 0, true, SDL_KEYDOWN, SDLK_ESCAPE, true},
        {"other key", 0, true, SDL_KEYDOWN, SDLK_a, false},
        {"window closed", 0, true, SDL_QUIT, 0, true},
    };
    for (const Case& c : cases) {
        TemporaryDirectory folder;
        const std::string buttons = folder.File("gpio");
        const uint8_t bytes[4] = {static_cast<uint8_t>(c.buttons), static_cast<uint8_t>(c.buttons >> 8),
                                  static_cast<uint8_t>(c.buttons >> 16), static_cast<uint8_t>(c.buttons >> 24)};
        WriteWholeFile(buttons, std::string(reinterpret_cast<const char*>(bytes), 4));
        const ProcessResult result = RunInChild([&] {
            setenv("KORVANE_GPIO", buttons.c_str(), 1);
            System().exec_program = [](const char*, const char*) { return -1; };
            System().run_shell = [](const char*) { return 0; };
            g_startup_settings.debug_mode = 1;
            g_video_context = new RevuDIVavuduri();
            g_video_context->OpenVideo(320, 240, 60);
            CreateInputDevice();
            OpenButtonDevice();
            AllowQuitCombination(c.allow_combination ? 1.0f : 0.0f);
            if (c.event_type != 0) {
                SDL_Event event = {};
                event.type = static_cast<Uint8>(c.event_type);
                event.key.keysym.sym = static_cast<SDLKey>(c.key);
                SDL_PushEvent(&event);
            }
            PresentFrame();
            puts("still running");
        });
        EXPECT_EQ(result.exit_status, 0) << c.name;
        EXPECT_EQ(result.output.find("still running") == std::string::npos, c.ends) << c.name << result.output;
        if (c.ends) {
            EXPECT_NE(result.output.find("-End On Line\n0."), std::string::npos) << c.name;
        }
    }
}

}  // namespace
