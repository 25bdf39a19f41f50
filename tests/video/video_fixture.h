// A video context and a 320 x 240 BackBuffer without a display, for drawing tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "files/pack_source.h"
#include "video/back_buffer.h"
#include "video/primitives.h"
#include "video/screen.h"
#include "video/video_context.h"

class VideoTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_video_context = new RevuDIVavuduri();
        CreateBackBuffer(320, 240);
        SetViewport(0, 0, 0, 0);
        SetBlend(0);
        CreatePackSources();
    }
    void TearDown() override {
        delete g_video_context;
        g_video_context = nullptr;
        ReleasePackSources();
    }
    static uint16_t& Pixel(int32_t x, int32_t y) { return g_back_buffer.colour_buffer[y * g_back_buffer.width + x]; }
    static void Clear(uint16_t value) {
        std::fill_n(g_back_buffer.colour_buffer, g_back_buffer.pixel_count, value);
    }
    // Positions holding `value`, in row order.
    static std::vector<std::pair<int, int>> PixelsEqualTo(uint16_t value) {
        std::vector<std::pair<int, int>> found;
        for (int y = 0; y < g_back_buffer.height; ++y)
            for (int x = 0; x < g_back_buffer.width; ++x)
                if (Pixel(x, y) == value) found.emplace_back(x, y);
        return found;
    }
};
