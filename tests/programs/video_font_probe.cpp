// Reports the current font's size after start-up, then ends: the last frame shown is start-up's "Loading...".
#include <cstdio>

#include "frame/program.h"
#include "video/font.h"

void ApplicationMain() {
    int32_t width, height;
    GetFontSize(width, height);
    printf("font %d %d\n", width, height);
}
