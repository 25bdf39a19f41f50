// Blending and the drawing primitives: the three pixel writers, the blend commands, filled rectangles,
// single pixels and lines.
//
// Every 2D drawing that does not simply copy pixels stores them through g_back_buffer.pixel_writer; the
// writer is chosen here once per blend change, so the per-pixel cost of a blend is paid only while one is
// active. Positions are relative to the clip origin; colours are 0x00BBGGRR.
#pragma once

#include <cstdint>

// d := d + (s * blend_amount) >> 8 per channel, each channel saturating at its mask.
void WritePixelAdditive(uint16_t* pixel, uint16_t colour);
// d := (s * k) >> 8 + (d * (256 - k)) >> 8 per channel, with k = -blend_amount.
void WritePixelMix(uint16_t* pixel, uint16_t colour);

// Takes the amount as a 16-bit signed value, clamps it to -255..255 and picks the matching writer.
void SetBlend(int32_t amount);
// The command: a factor of -1..1; any nonzero factor selects a blending writer.
void SetBlendAmount(float factor);

void FillRectangle(int32_t x, int32_t y, int32_t w, int32_t h, int32_t colour);
void PlotPixel(int32_t x, int32_t y, int32_t colour);
// Integer Bresenham, both end points included.
void DrawLineSegment(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t colour);
