// The scene object.
#include "scene3d/scene.h"

Dovadaza3D* g_scene3d = nullptr;
