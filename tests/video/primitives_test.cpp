// Blend arithmetic, blend selection, rectangles, pixels and lines.
#include <utility>
#include <vector>

#include "video_fixture.h"

using Primitives = VideoTest;

TEST_F(Primitives, BlendAmountFromFactor) {
    struct Case {
        float factor;
        int16_t amount;
        float magnitude;
        PixelWriter writer;
    };
    const Case cases[] = {
        {0.0f, 0, 1.0f, WritePixelPlain},       {0.001f, 1, 0.001f, WritePixelAdditive},
        {-0.001f, -1, 0.001f, WritePixelMix},  {-0.5f, -127, 0.5f, WritePixelMix},
        {0.5f, 127, 0.5f, WritePixelAdditive}, {2.0f, 255, 1.0f, WritePixelAdditive},
        {-2.0f, -255, 1.0f, WritePixelMix},    {500.0f, 255, 1.0f, WritePixelAdditive},
        {1.0f, 255, 1.0f, WritePixelAdditive},
    };
    for (const Case& c : cases) {
        SetBlendAmount(c.factor);
        EXPECT_EQ(g_back_buffer.blend_amount, c.amount) << c.factor;
        EXPECT_EQ(g_back_buffer.pixel_writer, c.writer) << c.factor;
        EXPECT_FLOAT_EQ(g_video_context->alpha_magnitude, c.magnitude) << c.factor;
    }
}

TEST_F(Primitives, SetBlendClampsAndTakesSixteenBits) {
    SetBlend(1000);
    EXPECT_EQ(g_back_buffer.blend_amount, 255);
    SetBlend(-1000);
    EXPECT_EQ(g_back_buffer.blend_amount, -255);
    SetBlend(65536 + 5);  // reduced to 16 bits first: 5
    EXPECT_EQ(g_back_buffer.blend_amount, 5);
}

TEST_F(Primitives, WriterArithmetic) {
    struct Case {
        int16_t amount;
        uint16_t destination, source, expected;
    };
    const Case cases[] = {
        {-128, 0x0000, 0xFFFF, 0x7BEF},  // half of white onto black
        {255, 0xFFFF, 0xFFFF, 0xFFFF},   // saturation on every channel
        {255, 0xF800, 0xF800, 0xF800},   // red saturates without spilling into green
        {128, 0x0000, 0xFFFF, 0x7BEF},   // (s * 128) >> 8 per channel
        {128, 0x0821, 0x0821, 0x0821},   // one unit per channel: (unit * 128) >> 8 drops below the mask
        {-255, 0x0000, 0xFFFF, 0xF7DE},  // ((s * 255) >> 8) without the destination
        {-64, 0xFFFF, 0x0000, 0xBDF7},   // destination weighted 192/256, each channel rounded down
    };
    for (const Case& c : cases) {
        SetBlend(c.amount);
        uint16_t pixel = c.destination;
        g_back_buffer.pixel_writer(&pixel, c.source);
        EXPECT_EQ(pixel, c.expected) << "amount " << c.amount << " source " << std::hex << c.source;
    }
}

TEST_F(Primitives, FillRectangleSizesAndClipping) {
    struct Case {
        int32_t x, y, w, h;
        int32_t x0, y0, x1, y1;  // expected filled area, inclusive; x0 > x1 for none
    };
    const Case cases[] = {
        {10, 10, -3, 2, 8, 10, 10, 11},    // a negative width ends at x
        {10, 10, 3, -2, 10, 9, 12, 10},    // a negative height ends at y
        {-5, -5, 10, 7, 0, 0, 4, 1},       // partly left of and above the clip rectangle
        {315, 235, 20, 20, 315, 235, 319, 239},
        {320, 0, 5, 5, 1, 0, 0, -1},       // wholly outside
        {0, 0, 0, 10, 1, 0, 0, -1},        // no width
    };
    for (const Case& c : cases) {
        Clear(0);
        FillRectangle(c.x, c.y, c.w, c.h, 0xFFFFFF);
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) {
                const bool inside = x >= c.x0 && x <= c.x1 && y >= c.y0 && y <= c.y1;
                ASSERT_EQ(Pixel(x, y), inside ? 0xFFFF : 0) << c.x << "," << c.y << " at " << x << "," << y;
            }
    }
}

TEST_F(Primitives, FillRectangleIsRelativeToTheViewportAndBlends) {
    Clear(0);
    SetViewport(100, 50, 20, 10);
    FillRectangle(-5, 5, 100, 100, 0x0000FF);  // red
    EXPECT_EQ(PixelsEqualTo(0xF800).size(), 20u * 5u);
    EXPECT_EQ(Pixel(100, 55), 0xF800);
    EXPECT_EQ(Pixel(119, 59), 0xF800);
    EXPECT_EQ(Pixel(120, 55), 0);
    SetViewport(0, 0, 0, 0);
    Clear(0);
    SetBlend(-128);
    FillRectangle(0, 0, 4, 4, -1);
    EXPECT_EQ(Pixel(3, 3), 0x7BEF);
    EXPECT_EQ(Pixel(4, 3), 0);
}

TEST_F(Primitives, PlotPixelTestsTheWholeBufferNotTheClipSize) {
    Clear(0);
    SetViewport(10, 10, 20, 20);
    PlotPixel(50, 5, 0x00FF00);  // beyond the clip width, inside the BackBuffer
    EXPECT_EQ(Pixel(60, 15), 0x07E0);
    PlotPixel(310, 0, 0x00FF00);  // beyond the BackBuffer: nothing
    PlotPixel(-11, 0, 0x00FF00);
    EXPECT_EQ(PixelsEqualTo(0x07E0).size(), 1u);
}

TEST_F(Primitives, LinesPlotTheBresenhamPoints) {
    using Points = std::vector<std::pair<int, int>>;
    struct Case {
        int x1, y1, x2, y2;
        Points points;  // in row order
    };
    const Case cases[] = {
        {0, 0, 5, 2, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {5, 2, 0, 0, {{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}},
        {3, 3, 3, 3, {{3, 3}}},
        {1, 1, 1, 4, {{1, 1}, {1, 2}, {1, 3}, {1, 4}}},
        {0, 0, 3, 3, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {0, 0, 1, 4, {{0, 0}, {0, 1}, {0, 2}, {1, 3}, {1, 4}}},
        {-2, 0, 2, 0, {{0, 0}, {1, 0}, {2, 0}}},  // points off the buffer are skipped
    };
    for (const Case& c : cases) {
        Clear(0);
        DrawLineSegment(c.x1, c.y1, c.x2, c.y2, 0xFFFFFF);
        EXPECT_EQ(PixelsEqualTo(0xFFFF), c.points) << c.x1 << "," << c.y1 << " to " << c.x2 << "," << c.y2;
    }
}
