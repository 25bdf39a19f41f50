// Pipeline state.
#include "rasterizer/pipeline.h"

namespace {
PipelineState g_pipeline;
}  // namespace

const PipelineState& Pipeline() { return g_pipeline; }

void SetRenderTarget(uint16_t* colour_buffer, int16_t* depth_buffer, int32_t row_length) {
    g_pipeline.colour_buffer = colour_buffer;
    g_pipeline.depth_buffer = depth_buffer;
    g_pipeline.row_length = row_length;
}

void SetTargetBuffers(uint16_t* colour_buffer, int16_t* depth_buffer) {
    g_pipeline.colour_buffer = colour_buffer;
    g_pipeline.depth_buffer = depth_buffer;
}

void SetCullFace(int32_t mode) { g_pipeline.cull_face = mode; }

void LoadIdentity() { g_pipeline.model_view_identity = true; }

void EnableDepthTest(bool enabled) { g_pipeline.depth_test = enabled; }

void SetPipelineViewport(int32_t x, int32_t y, int32_t width, int32_t height) {
    g_pipeline.viewport[0] = x;
    g_pipeline.viewport[1] = y;
    g_pipeline.viewport[2] = width;
    g_pipeline.viewport[3] = height;
}

void SetOrtho(float left, float right, float bottom, float top, float near_plane, float far_plane) {
    g_pipeline.ortho[0] = left;
    g_pipeline.ortho[1] = right;
    g_pipeline.ortho[2] = bottom;
    g_pipeline.ortho[3] = top;
    g_pipeline.ortho[4] = near_plane;
    g_pipeline.ortho[5] = far_plane;
}
