// BackBuffer storage.
#include "video/back_buffer.h"

#include <cstring>

#include "rasterizer/pipeline.h"

BackBuffer g_back_buffer;

void WritePixelPlain(uint16_t* pixel, uint16_t colour) { *pixel = colour; }

void RefillDepthBuffer() {
    // Two entries per 32-bit store.
    uint32_t* words = reinterpret_cast<uint32_t*>(g_back_buffer.depth_buffer);
    const int32_t word_count = g_back_buffer.pixel_count / 2;
    for (int32_t i = 0; i < word_count; ++i) words[i] = 0x7F7F7F7Fu;
    if (g_back_buffer.pixel_count & 1) g_back_buffer.depth_buffer[g_back_buffer.pixel_count - 1] = kEmptyDepth;
}

void ClearColourBuffer() {
    if (g_back_buffer.colour_buffer != nullptr)
        memset(g_back_buffer.colour_buffer, 0, static_cast<size_t>(g_back_buffer.pixel_count) * 2);
}

void CreateBackBuffer(int32_t width, int32_t height) {
    delete[] g_back_buffer.colour_buffer;
    delete[] g_back_buffer.depth_buffer;
    g_back_buffer.colour_buffer = nullptr;
    g_back_buffer.depth_buffer = nullptr;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    g_back_buffer.width = width;
    g_back_buffer.height = height;
    g_back_buffer.pixel_count = width * height;
    g_back_buffer.clip_x = 0;
    g_back_buffer.clip_y = 0;
    g_back_buffer.clip_width = width;
    g_back_buffer.clip_height = height;
    // The arrays are aligned for the 32-bit stores of the depth refill and the display copy.
    g_back_buffer.colour_buffer = new uint16_t[static_cast<size_t>(g_back_buffer.pixel_count) + 2]();
    g_back_buffer.depth_buffer = new int16_t[static_cast<size_t>(g_back_buffer.pixel_count) + 2];
    SetRenderTarget(g_back_buffer.colour_buffer, g_back_buffer.depth_buffer, width);
    RefillDepthBuffer();
}
