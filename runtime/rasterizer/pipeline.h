// The 3D pipeline's render target and the state that flat 2D drawing resets: the buffers it draws into, the
// face culling mode, the depth test, the viewport and the orthographic projection.
#pragma once

#include <cstdint>

struct PipelineState {
    uint16_t* colour_buffer = nullptr;
    int16_t* depth_buffer = nullptr;
    int32_t row_length = 0;
    int32_t cull_face = 0;
    bool depth_test = false;
    int32_t viewport[4] = {0, 0, 0, 0};
    // left, right, bottom, top, near, far of the last orthographic projection
    float ortho[6] = {0, 0, 0, 0, 0, 0};
    bool model_view_identity = true;
};

const PipelineState& Pipeline();

void SetRenderTarget(uint16_t* colour_buffer, int16_t* depth_buffer, int32_t row_length);
void SetTargetBuffers(uint16_t* colour_buffer, int16_t* depth_buffer);
void SetCullFace(int32_t mode);
void LoadIdentity();
void EnableDepthTest(bool enabled);
void SetPipelineViewport(int32_t x, int32_t y, int32_t width, int32_t height);
void SetOrtho(float left, float right, float bottom, float top, float near_plane, float far_plane);
