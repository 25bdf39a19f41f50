// Sprite slots: conversion, the blitter, captures, the numbered-picture commands and offscreen surfaces.
#include "video/sprite.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "video/back_buffer.h"
#include "video/blend_ops.h"
#include "video/decoded_image.h"
#include "video/primitives.h"
#include "video/screen.h"
#include "video/video_context.h"

namespace {

// A slot larger than this is refused as if memory had run out; it also keeps size arithmetic in range on
// 32-bit targets.
constexpr uint64_t kMaxSlotBytes = 256ull * 1024 * 1024;

// Allocates both arrays of a width x height slot; prints "Out of memory" and leaves the slot empty on failure.
bool AllocateSlot(SpriteSlot& slot, int64_t width, int64_t height) {
    const uint64_t count = static_cast<uint64_t>(width) * static_cast<uint64_t>(height);
    if (width > 0 && height > 0 && count * 2 <= kMaxSlotBytes) {
        slot.pixels = new (std::nothrow) uint16_t[count];
        slot.row_has_key = new (std::nothrow) uint8_t[height];
    }
    if (slot.pixels == nullptr || slot.row_has_key == nullptr) {
        puts("Out of memory");
        EmptySlot(slot);
        return false;
    }
    slot.width = static_cast<int32_t>(width);
    slot.height = static_cast<int32_t>(height);
    return true;
}

inline uint16_t Rgba8To565(const uint8_t* p) {
    return static_cast<uint16_t>(((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3));
}

// A keyed row without blend, four pixels per 64-bit word: a lane equal to the key is kept from the target,
// every other lane comes from the source. Words that are wholly opaque or wholly transparent (the common
// case at a sprite's edges and inside it) cost one test each.
inline void CopyKeyedRow(uint16_t* target, const uint16_t* source, int64_t count, uint16_t key) {
    constexpr uint64_t kLow15 = 0x7FFF7FFF7FFF7FFFull;
    constexpr uint64_t kHigh = 0x8000800080008000ull;
    const uint64_t key4 = 0x0001000100010001ull * key;
    int64_t i = 0;
    for (; i + 4 <= count; i += 4) {
        uint64_t from;
        memcpy(&from, source + i, 8);
        const uint64_t difference = from ^ key4;
        // High bit of each lane set when the lane is not zero, that is when the pixel is not the key.
        const uint64_t nonzero = (((difference & kLow15) + kLow15) | difference) & kHigh;
        if (nonzero == kHigh) {
            memcpy(target + i, &from, 8);
        } else if (nonzero != 0) {
            const uint64_t keep_source = (nonzero >> 15) * 0xFFFF;
            uint64_t to;
            memcpy(&to, target + i, 8);
            to = (to & ~keep_source) | (from & keep_source);
            memcpy(target + i, &to, 8);
        }
    }
    for (; i < count; ++i)
        if (source[i] != key) target[i] = source[i];
}

// Rows through a blend operation, key pixels of marked rows skipped. The operation is a template argument so
// that each blend gets its own loop.
template <typename Operation>
void BlendRows(const uint16_t* source, int64_t source_stride, uint16_t* target, int64_t target_stride, int64_t row0,
               int64_t row1, int64_t columns, const uint8_t* marks, uint16_t key, Operation operation) {
    for (int64_t r = row0; r < row1; ++r, source += source_stride, target += target_stride) {
        if (marks != nullptr && marks[r]) {
            for (int64_t i = 0; i < columns; ++i)
                if (source[i] != key) target[i] = operation(target[i], source[i]);
        } else {
            for (int64_t i = 0; i < columns; ++i) target[i] = operation(target[i], source[i]);
        }
    }
}

int32_t TransparentColour() { return g_video_context != nullptr ? g_video_context->transparent_colour : 0x8000FF; }

}  // namespace

void EmptySlot(SpriteSlot& slot) {
    delete[] slot.pixels;
    delete[] slot.row_has_key;
    slot.pixels = nullptr;
    slot.row_has_key = nullptr;
    slot.width = 0;
    slot.height = 0;
    slot.has_key_pixels = 0;
}

void ConvertToSprite(SpriteSlot& slot, const DecodedImage& decoded, int32_t key_colour, const SourceRect* rect) {
    slot.key565 = ColourTo565(key_colour);
    EmptySlot(slot);
    int64_t x0 = 0, x1 = static_cast<int64_t>(decoded.width) - 1, y0 = 0, y1 = static_cast<int64_t>(decoded.height) - 1;
    if (rect != nullptr) {
        x0 = rect->x0;
        y0 = rect->y0;
        x1 = std::min<int64_t>(rect->x1, x1);
        y1 = std::min<int64_t>(rect->y1, y1);
    }
    const int64_t width = x1 - x0 + 1;
    const int64_t height = y1 - y0 + 1;
    // Nothing to take (an empty picture, or a rectangle with no columns or rows): the slot stays empty.
    if (decoded.rgba == nullptr || decoded.width <= 0 || decoded.height <= 0 || width <= 0 || height <= 0) return;
    if (!AllocateSlot(slot, width, height)) return;
    uint8_t any_key = 0;
    const bool inside = x0 >= 0 && y0 >= 0;
    for (int64_t row = 0; row < height; ++row) {
        const int64_t y = y0 + row;
        uint16_t* out = slot.pixels + row * width;
        uint8_t mark = 0;
        for (int64_t column = 0; column < width; ++column) {
            const int64_t x = x0 + column;
            // A position outside the picture (only possible left of or above it) reads the first pixel.
            const bool in_picture = inside || (x >= 0 && y >= 0 && x < decoded.width && y < decoded.height);
            const uint8_t* p = decoded.rgba + (in_picture ? (x + y * decoded.width) * 4 : 0);
            if (p[3] > 4) {
                out[column] = Rgba8To565(p);
            } else {
                out[column] = slot.key565;
                mark = 1;
            }
        }
        slot.row_has_key[row] = mark;
        any_key |= mark;
    }
    slot.has_key_pixels = any_key;
    if (!any_key) slot.key565 = 0xFFFF;
}

void BlitImage(const SpriteSlot& slot, int32_t x, int32_t y, int32_t sx0, int32_t sy0, int32_t sx1, int32_t sy1) {
    BackBuffer& buffer = g_back_buffer;
    if (slot.pixels == nullptr || buffer.colour_buffer == nullptr) return;
    const int64_t ox = static_cast<int64_t>(x) - sx0;
    const int64_t oy = static_cast<int64_t>(y) - sy0;
    int64_t cx1 = std::min(sx1, slot.width);
    int64_t cy1 = std::min(sy1, slot.height);
    int64_t cx0 = x < 0 ? static_cast<int64_t>(sx0) - x : sx0;
    int64_t cy0 = y < 0 ? static_cast<int64_t>(sy0) - y : sy0;
    if (cx1 + ox > buffer.clip_width) cx1 = buffer.clip_width - ox;
    if (cy1 + oy > buffer.clip_height) cy1 = buffer.clip_height - oy;
    // A source rectangle that starts left of or above the picture is cut to the picture: nothing is read
    // before the first pixel.
    cx0 = std::max<int64_t>(cx0, 0);
    cy0 = std::max<int64_t>(cy0, 0);
    if (cx1 - cx0 <= 0 || cy1 - cy0 <= 0) return;

    const int64_t columns = cx1 - cx0;
    const size_t row_bytes = static_cast<size_t>(columns) * 2;
    const uint16_t* source = slot.pixels + cy0 * slot.width + cx0;
    uint16_t* target = buffer.colour_buffer + (cy0 + oy + buffer.clip_y) * buffer.width + cx0 + ox + buffer.clip_x;
    const uint16_t key = slot.key565;
    const uint8_t* marks = slot.has_key_pixels ? slot.row_has_key : nullptr;

    if (buffer.blend_amount == 0) {
        if (marks == nullptr) {
            // Whole rows on both sides lie one after another: one copy does them all.
            if (columns == slot.width && columns == buffer.width) {
                memcpy(target, source, row_bytes * static_cast<size_t>(cy1 - cy0));
                return;
            }
            for (int64_t r = cy0; r < cy1; ++r, source += slot.width, target += buffer.width)
                memcpy(target, source, row_bytes);
            return;
        }
        for (int64_t r = cy0; r < cy1; ++r, source += slot.width, target += buffer.width) {
            if (marks[r])
                CopyKeyedRow(target, source, columns, key);
            else
                memcpy(target, source, row_bytes);
        }
        return;
    }
    const PixelWriter writer = buffer.pixel_writer;
    if (writer == WritePixelMix) {
        const uint32_t k = static_cast<uint32_t>(-static_cast<int32_t>(buffer.blend_amount));
        BlendRows(source, slot.width, target, buffer.width, cy0, cy1, columns, marks, key,
                  [k](uint16_t d, uint16_t s) { return blend::Mix(d, s, k); });
    } else if (writer == WritePixelAdditive) {
        const uint32_t a = static_cast<uint32_t>(buffer.blend_amount);
        BlendRows(source, slot.width, target, buffer.width, cy0, cy1, columns, marks, key,
                  [a](uint16_t d, uint16_t s) { return blend::Add(d, s, a); });
    } else {
        BlendRows(source, slot.width, target, buffer.width, cy0, cy1, columns, marks, key,
                  [writer](uint16_t d, uint16_t s) {
                      writer(&d, s);
                      return d;
                  });
    }
}

void DrawBackgroundFull(const SpriteSlot& slot) {
    if (slot.pixels == nullptr || g_back_buffer.colour_buffer == nullptr) return;
    if (slot.width == g_back_buffer.width && slot.height == g_back_buffer.height) {
        memcpy(g_back_buffer.colour_buffer, slot.pixels, static_cast<size_t>(g_back_buffer.pixel_count) * 2);
        return;
    }
    BlitImage(slot, 0, 0, 0, 0, slot.width, slot.height);
}

void CaptureRect(SpriteSlot& slot, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t key_colour) {
    EmptySlot(slot);
    const BackBuffer& buffer = g_back_buffer;
    const int64_t width = std::llabs(static_cast<int64_t>(x1) - x0);
    const int64_t height = std::llabs(static_cast<int64_t>(y1) - y0);
    // Sizes beyond int32 cannot be stored in the slot; they are refused like a failed allocation.
    if (width > INT32_MAX || height > INT32_MAX) {
        puts("Out of memory");
        return;
    }
    slot.width = static_cast<int32_t>(width);
    slot.height = static_cast<int32_t>(height);
    // Wholly outside: the slot keeps its size and has no pixels, so drawing it draws nothing.
    if (x0 + width < 0 || x0 >= buffer.clip_width || y0 + height < 0 || y0 >= buffer.clip_height ||
        buffer.colour_buffer == nullptr)
        return;
    slot.key565 = ColourTo565(key_colour);
    slot.width = slot.height = 0;
    if (!AllocateSlot(slot, width, height)) return;
    const int64_t inside_x0 = std::max<int64_t>(x0, 0);
    const int64_t inside_y0 = std::max<int64_t>(y0, 0);
    const int64_t inside_x1 = std::min<int64_t>(x0 + width, buffer.clip_width);
    const int64_t inside_y1 = std::min<int64_t>(y0 + height, buffer.clip_height);
    const bool partial = inside_x0 != x0 || inside_y0 != y0 || inside_x1 != x0 + width || inside_y1 != y0 + height;
    if (partial) {
        std::fill_n(slot.pixels, width * height, slot.key565);
        memset(slot.row_has_key, 1, static_cast<size_t>(height));
    } else {
        memset(slot.row_has_key, 0, static_cast<size_t>(height));
    }
    uint8_t any_key = partial ? 1 : 0;
    for (int64_t y = inside_y0; y < inside_y1; ++y) {
        const uint16_t* from = buffer.colour_buffer + (y + buffer.clip_y) * buffer.width + buffer.clip_x + inside_x0;
        uint16_t* to = slot.pixels + (y - y0) * width + (inside_x0 - x0);
        const int64_t count = inside_x1 - inside_x0;
        memcpy(to, from, static_cast<size_t>(count) * 2);
        uint8_t mark = 0;
        for (int64_t i = 0; i < count; ++i) mark |= to[i] == slot.key565;
        if (mark) slot.row_has_key[y - y0] = 1;
        any_key |= mark;
    }
    slot.has_key_pixels = any_key;
    if (!any_key) slot.key565 = 0xFFFF;
}

SpriteSlot* NumberedSlot(int32_t number) {
    if (g_video_context == nullptr || number < 0 || number >= kImageCount) return nullptr;
    return &g_video_context->images[number];
}

SpriteInfo* NumberedInfo(int32_t number) {
    if (g_video_context == nullptr || number < 0 || number >= kImageCount) return nullptr;
    return &g_video_context->image_info[number];
}

void EmptySprite(int32_t number) {
    SpriteSlot* slot = NumberedSlot(number);
    if (slot == nullptr) return;
    EmptySlot(*slot);
    SpriteInfo& info = *NumberedInfo(number);
    info.alloc_width = -1;
    info.alloc_height = -1;
    info.logical_width = 0;
    info.logical_height = 0;
    if (g_video_context->initialised) info.reserved[0] = info.reserved[1] = 0;
}

void BlitSprite(int32_t number, int32_t x, int32_t y) {
    const SpriteSlot* slot = NumberedSlot(number);
    if (slot != nullptr) BlitImage(*slot, x, y, 0, 0, slot->width, slot->height);
}

void BlitAnimFrame(int32_t number, int32_t frame, int32_t x, int32_t y) {
    const SpriteSlot* slot = NumberedSlot(number);
    if (slot == nullptr) return;
    const SpriteInfo& info = *NumberedInfo(number);
    const int32_t fw = info.frame_width, fh = info.frame_height;
    if (fw == 0 || fh == 0) return;
    const int32_t per_row = info.logical_width / fw;
    int64_t column = frame, row = 0;
    if (per_row != 0) {
        column = frame % per_row;
        row = frame / per_row;
    }
    const int64_t sx0 = static_cast<int64_t>(fw) * column;
    const int64_t sy0 = static_cast<int64_t>(fh) * row;
    // A frame whose source lies beyond int32 lies beyond any picture: nothing to draw.
    if (sx0 + fw > INT32_MAX || sy0 + fh > INT32_MAX || sx0 < INT32_MIN || sy0 < INT32_MIN) return;
    BlitImage(*slot, x, y, static_cast<int32_t>(sx0), static_cast<int32_t>(sy0), static_cast<int32_t>(sx0 + fw),
              static_cast<int32_t>(sy0 + fh));
}

void CaptureSprite(int32_t number, int32_t x, int32_t y, int32_t w, int32_t h) {
    SpriteSlot* slot = NumberedSlot(number);
    if (slot == nullptr) return;
    CaptureRect(*slot, x, y, static_cast<int32_t>(static_cast<int64_t>(x) + w),
                static_cast<int32_t>(static_cast<int64_t>(y) + h), g_video_context->transparent_colour);
    SpriteInfo& info = *NumberedInfo(number);
    info.alloc_width = info.logical_width = static_cast<int16_t>(w);
    info.alloc_height = info.logical_height = static_cast<int16_t>(h);
}

void CaptureBackground() {
    if (g_video_context == nullptr) return;
    CaptureRect(g_video_context->background[0], 0, 0, g_back_buffer.width, g_back_buffer.height,
                g_video_context->transparent_colour);
}

void QuerySpriteSize(int32_t number, int32_t& width, int32_t& height) {
    const SpriteSlot* slot = NumberedSlot(number);
    width = slot != nullptr ? slot->width : 0;
    height = slot != nullptr ? slot->height : 0;
}

void QuerySpriteSize(int32_t number, float& width, float& height) {
    int32_t w, h;
    QuerySpriteSize(number, w, h);
    width = static_cast<float>(w);
    height = static_cast<float>(h);
}

int32_t QuerySpriteHandle(int32_t number) {
    const SpriteInfo* info = NumberedInfo(number);
    return info != nullptr ? info->reserved[0] : 0;
}

void SetTransparentColour(int32_t colour) {
    if (g_video_context == nullptr) return;
    g_video_context->transparent_colour = colour;
    g_video_context->font_transparent_colour = colour;
}

void CreateOffscreen(int32_t surface, int32_t number, int32_t w, int32_t h) {
    if (surface < 0 || surface >= kOffscreenCount || NumberedSlot(number) == nullptr) return;
    // The logical size is kept in 16-bit fields; a larger surface could not be described.
    if (w > INT16_MAX || h > INT16_MAX) return;
    int32_t stored_width = 2, stored_height = 2;
    while (stored_width < w) stored_width *= 2;
    while (stored_height < h) stored_height *= 2;
    EmptySprite(number);
    DecodedImage blank;
    if (!SizeDecodedImage(blank, stored_width, stored_height)) return;
    ConvertToSprite(*NumberedSlot(number), blank, TransparentColour());
    g_video_context->offscreen[surface].slot = number;
    SpriteInfo& info = *NumberedInfo(number);
    info.logical_width = static_cast<int16_t>(w);
    info.logical_height = static_cast<int16_t>(h);
    info.alloc_width = static_cast<int16_t>(stored_width);
    info.alloc_height = static_cast<int16_t>(stored_height);
}

void SelectOffscreen(int32_t surface) {
    if (g_video_context == nullptr) return;
    if (surface < 0) {
        EndOffscreen();
        return;
    }
    if (surface >= kOffscreenCount) return;
    if (g_video_context->drawing_target != -1) EndOffscreen();
    const int32_t number = g_video_context->offscreen[surface].slot;
    const SpriteInfo* info = NumberedInfo(number);
    // A surface that was never created has no size: selecting it would redirect drawing to the whole screen
    // and then capture an empty area into picture 0, wiping it.
    if (info == nullptr || info->logical_width < 1 || info->logical_height < 1) return;
    g_video_context->drawing_target = surface;
    const int32_t w = info->logical_width, h = info->logical_height;
    SetViewport(0, 0, w, h);
    CaptureSprite(kOffscreenScratchSlot, 0, 0, w, h);
    FillRectangle(0, 0, w, h, g_video_context->transparent_colour);
    BlitSprite(number, 0, 0);
}

void EndOffscreen() {
    if (g_video_context == nullptr || g_video_context->drawing_target == -1) return;
    const int32_t number = g_video_context->offscreen[g_video_context->drawing_target].slot;
    const SpriteInfo* info = NumberedInfo(number);
    if (info != nullptr) {
        const int32_t w = info->logical_width, h = info->logical_height;
        CaptureSprite(number, 0, 0, w, h);
        FillRectangle(0, 0, w, h, 0);
        BlitSprite(kOffscreenScratchSlot, 0, 0);
    }
    SetViewport(0, 0, 0, 0);
    g_video_context->drawing_target = -1;
}
