// Pixel writers, blend selection, rectangles, pixels and lines.
#include "video/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "video/back_buffer.h"
#include "video/video_context.h"

namespace {

constexpr uint32_t kRedMask = 0xF800;
constexpr uint32_t kGreenMask = 0x07E0;
constexpr uint32_t kBlueMask = 0x001F;

// Channels are taken in place (not shifted down) and multiplied on 32-bit unsigned values, so the masked
// channels never spill into one another before masking.
inline uint32_t AddChannel(uint32_t d, uint32_t s, uint32_t amount, uint32_t mask) {
    const uint32_t sum = (d & mask) + (((s & mask) * amount) >> 8);
    return sum > mask ? mask : (sum & mask);
}

inline uint32_t MixChannel(uint32_t d, uint32_t s, uint32_t k, uint32_t mask) {
    return ((((s & mask) * k) >> 8) + (((d & mask) * (256 - k)) >> 8)) & mask;
}

// Plots (x, y) when it lies inside the BackBuffer; the clip rectangle's size is deliberately not consulted.
inline void PlotClipRelative(int32_t x, int32_t y, uint16_t colour) {
    const int64_t column = static_cast<int64_t>(x) + g_back_buffer.clip_x;
    const int64_t row = static_cast<int64_t>(y) + g_back_buffer.clip_y;
    if (column < 0 || row < 0 || column >= g_back_buffer.width || row >= g_back_buffer.height) return;
    g_back_buffer.pixel_writer(g_back_buffer.colour_buffer + row * g_back_buffer.width + column, colour);
}

}  // namespace

void WritePixelAdditive(uint16_t* pixel, uint16_t colour) {
    const uint32_t d = *pixel;
    const uint32_t a = static_cast<uint32_t>(g_back_buffer.blend_amount);
    *pixel = static_cast<uint16_t>(AddChannel(d, colour, a, kRedMask) | AddChannel(d, colour, a, kGreenMask) |
                                   AddChannel(d, colour, a, kBlueMask));
}

void WritePixelMix(uint16_t* pixel, uint16_t colour) {
    const uint32_t d = *pixel;
    const uint32_t k = static_cast<uint32_t>(-static_cast<int32_t>(g_back_buffer.blend_amount));
    *pixel = static_cast<uint16_t>(MixChannel(d, colour, k, kRedMask) | MixChannel(d, colour, k, kGreenMask) |
                                   MixChannel(d, colour, k, kBlueMask));
}

void SetBlend(int32_t amount) {
    const int32_t clamped = std::clamp<int32_t>(static_cast<int16_t>(amount), -255, 255);
    g_back_buffer.blend_amount = static_cast<int16_t>(clamped);
    if (clamped == 0)
        g_back_buffer.pixel_writer = WritePixelPlain;
    else if (clamped > 0)
        g_back_buffer.pixel_writer = WritePixelAdditive;
    else
        g_back_buffer.pixel_writer = WritePixelMix;
}

void SetBlendAmount(float factor) {
    // Factors far outside -1..1 are clamped before the reduction to 16 bits rather than wrapping, so a
    // factor of 200 blends fully instead of turning into an arbitrary amount.
    const float bounded = std::clamp(factor, -2.0f, 2.0f);
    float magnitude = 1.0f;
    if (factor == 0.0f || std::isnan(factor)) {
        SetBlend(0);
    } else if (factor < 0.0f) {
        SetBlend(std::min(static_cast<int32_t>(bounded * 255.0f), -1));
        magnitude = std::min(-factor, 1.0f);
    } else {
        SetBlend(std::max(static_cast<int32_t>(bounded * 255.0f), 1));
        magnitude = std::min(factor, 1.0f);
    }
    if (g_video_context != nullptr) g_video_context->alpha_magnitude = magnitude;
}

void FillRectangle(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour) {
    int64_t left = x, top = y, width = w, height = h;
    // A negative size means the rectangle ends at the given corner.
    if (width < 0) {
        left = left + width + 1;
        width = -width;
    }
    if (height < 0) {
        top = top + height + 1;
        height = -height;
    }
    BackBuffer& buffer = g_back_buffer;
    if (buffer.pixel_count <= 0 || buffer.colour_buffer == nullptr) return;
    const int64_t x0 = std::max<int64_t>(left, 0);
    const int64_t y0 = std::max<int64_t>(top, 0);
    const int64_t x1 = std::min<int64_t>(left + width, buffer.clip_width);
    const int64_t y1 = std::min<int64_t>(top + height, buffer.clip_height);
    if (x1 <= x0 || y1 <= y0) return;
    const uint16_t value = ColourTo565(colour);
    const size_t columns = static_cast<size_t>(x1 - x0);
    uint16_t* row = buffer.colour_buffer + (y0 + buffer.clip_y) * buffer.width + x0 + buffer.clip_x;
    if (buffer.blend_amount == 0) {
        for (int64_t r = y0; r < y1; ++r, row += buffer.width) std::fill_n(row, columns, value);
        return;
    }
    const PixelWriter writer = buffer.pixel_writer;
    for (int64_t r = y0; r < y1; ++r, row += buffer.width)
        for (size_t c = 0; c < columns; ++c) writer(row + c, value);
}

void PlotPixel(int32_t x, int32_t y, int32_t colour) {
    if (g_back_buffer.colour_buffer == nullptr) return;
    PlotClipRelative(x, y, ColourTo565(colour));
}

void DrawLineSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour) {
    if (g_back_buffer.colour_buffer == nullptr) return;
    const uint16_t value = ColourTo565(colour);
    // 64-bit steps: end points far apart cannot overflow the error term.
    const int64_t dx = std::llabs(static_cast<int64_t>(x2) - x1);
    const int64_t dy = std::llabs(static_cast<int64_t>(y2) - y1);
    const int32_t sx = x2 > x1 ? 1 : (x2 < x1 ? -1 : 0);
    const int32_t sy = y2 > y1 ? 1 : (y2 < y1 ? -1 : 0);
    int64_t x = x1, y = y1;
    if (dx == 0 && dy == 0) {
        PlotClipRelative(x1, y1, value);
        return;
    }
    if (dy < dx) {
        int64_t e = 2 * dy - dx;
        for (int64_t i = 0; i <= dx; ++i) {
            PlotClipRelative(static_cast<int32_t>(x), static_cast<int32_t>(y), value);
            x += sx;
            if (e >= 1) {
                y += sy;
                e += 2 * dy - 2 * dx;
            } else {
                e += 2 * dy;
            }
        }
    } else {
        int64_t e = 2 * dx - dy;
        for (int64_t i = 0; i <= dy; ++i) {
            PlotClipRelative(static_cast<int32_t>(x), static_cast<int32_t>(y), value);
            if (e >= 1) {
                x += sx;
                e += 2 * dx - 2 * dy;
            } else {
                e += 2 * dx;
            }
            y += sy;
        }
    }
}
