// Pixel writers, blend selection, rectangles, pixels and lines.
#include "video/primitives.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "video/back_buffer.h"
#include "video/blend_ops.h"
#include "video/video_context.h"

namespace {

// Plots (x, y) when it lies inside the BackBuffer; the clip rectangle's size is deliberately not consulted.
inline void PlotClipRelative(int32_t x, int32_t y, uint16_t colour) {
    const int64_t column = static_cast<int64_t>(x) + g_back_buffer.clip_x;
    const int64_t row = static_cast<int64_t>(y) + g_back_buffer.clip_y;
    if (column < 0 || row < 0 || column >= g_back_buffer.width || row >= g_back_buffer.height) return;
    g_back_buffer.pixel_writer(g_back_buffer.colour_buffer + row * g_back_buffer.width + column, colour);
}

}  // namespace

void WritePixelAdditive(uint16_t* pixel, uint16_t colour) {
    *pixel = blend::Add(*pixel, colour, static_cast<uint32_t>(g_back_buffer.blend_amount));
}

void WritePixelMix(uint16_t* pixel, uint16_t colour) {
    *pixel = blend::Mix(*pixel, colour, static_cast<uint32_t>(-static_cast<int32_t>(g_back_buffer.blend_amount)));
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
        // The first row is filled two pixels per 32-bit store, the others are copies of it. When the rows
        // span the whole buffer width they lie one after another, and the filled part doubles with each copy.
        uint16_t* first = row;
        size_t c = 0;
        if ((reinterpret_cast<uintptr_t>(first) & 2) != 0) first[c++] = value;
        const uint32_t pair = value * 0x00010001u;
        for (; c + 2 <= columns; c += 2) memcpy(first + c, &pair, 4);
        if (c < columns) first[c] = value;
        if (columns == static_cast<size_t>(buffer.width)) {
            const size_t total = columns * static_cast<size_t>(y1 - y0);
            for (size_t filled = columns; filled < total;) {
                const size_t step = filled < total - filled ? filled : total - filled;
                memcpy(first + filled, first, step * 2);
                filled += step;
            }
            return;
        }
        row += buffer.width;
        for (int64_t r = y0 + 1; r < y1; ++r, row += buffer.width) memcpy(row, first, columns * 2);
        return;
    }
    // The blend is chosen once for the rectangle; a writer installed by other code is called per pixel.
    const PixelWriter writer = buffer.pixel_writer;
    const int32_t amount = buffer.blend_amount;
    for (int64_t r = y0; r < y1; ++r, row += buffer.width) {
        if (writer == WritePixelMix) {
            for (size_t c = 0; c < columns; ++c) row[c] = blend::Mix(row[c], value, static_cast<uint32_t>(-amount));
        } else if (writer == WritePixelAdditive) {
            for (size_t c = 0; c < columns; ++c) row[c] = blend::Add(row[c], value, static_cast<uint32_t>(amount));
        } else {
            for (size_t c = 0; c < columns; ++c) writer(row + c, value);
        }
    }
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
