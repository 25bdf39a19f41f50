// Dovadaza3D: the 3D layer's scene object, bound to the video context.
//
// The presentation resets its per-frame flag and the texture setting that its drawing commands pass on.
#pragma once

#include <cstdint>

class RevuDIVavuduri;

class Dovadaza3D {
public:
    explicit Dovadaza3D(RevuDIVavuduri* video) : video(video) {}
    virtual ~Dovadaza3D() = default;

    RevuDIVavuduri* video;
    int32_t frame_flag = 0;
    int32_t texture_setting = 0;
};

extern Dovadaza3D* g_scene3d;
