// Sprite slots and the blit into the BackBuffer.
#include "video/sprite.h"

#include <algorithm>
#include <cstring>

#include "video/back_buffer.h"
#include "video/video_context.h"

void EmptySlot(SpriteSlot& slot) {
    delete[] slot.pixels;
    delete[] slot.row_has_key;
    slot.pixels = nullptr;
    slot.row_has_key = nullptr;
    slot.width = 0;
    slot.height = 0;
    slot.has_key_pixels = 0;
}

void BlitImage(const SpriteSlot& slot, int32_t x, int32_t y, int32_t sx0, int32_t sy0, int32_t sx1, int32_t sy1) {
    if (slot.pixels == nullptr || g_back_buffer.colour_buffer == nullptr) return;
    sx0 = std::max(sx0, 0);
    sy0 = std::max(sy0, 0);
    sx1 = std::min(sx1, slot.width);
    sy1 = std::min(sy1, slot.height);
    // Clip the destination against [0, clip_width) x [0, clip_height), moving the source with it.
    if (x < 0) { sx0 -= x; x = 0; }
    if (y < 0) { sy0 -= y; y = 0; }
    sx1 = std::min(sx1, sx0 + g_back_buffer.clip_width - x);
    sy1 = std::min(sy1, sy0 + g_back_buffer.clip_height - y);
    if (sx0 >= sx1 || sy0 >= sy1) return;
    const int32_t columns = sx1 - sx0;
    const PixelWriter writer = g_back_buffer.pixel_writer;
    const bool plain = g_back_buffer.blend_amount == 0;
    for (int32_t row = sy0; row < sy1; ++row) {
        const uint16_t* source = slot.pixels + static_cast<size_t>(row) * slot.width + sx0;
        uint16_t* target = g_back_buffer.colour_buffer +
                           static_cast<size_t>(g_back_buffer.clip_y + y + row - sy0) * g_back_buffer.width +
                           g_back_buffer.clip_x + x;
        const bool keyed = slot.row_has_key != nullptr && slot.row_has_key[row];
        if (plain && !keyed) {
            memcpy(target, source, static_cast<size_t>(columns) * 2);
            continue;
        }
        for (int32_t i = 0; i < columns; ++i)
            if (!keyed || source[i] != slot.key565) writer(target + i, source[i]);
    }
}

void DrawBackgroundFull(const SpriteSlot& slot) {
    if (slot.pixels == nullptr) return;
    if (slot.width == g_back_buffer.width && slot.height == g_back_buffer.height) {
        memcpy(g_back_buffer.colour_buffer, slot.pixels, static_cast<size_t>(g_back_buffer.pixel_count) * 2);
        return;
    }
    BlitImage(slot, 0, 0, 0, 0, slot.width, slot.height);
}

void EndOffscreen() {
    if (g_video_context != nullptr) g_video_context->drawing_target = -1;
}
