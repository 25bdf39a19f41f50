// Cross-fades from a black screen to a white picture written beside the program, then reports how long the
// fade took in milliseconds.
#include <cstdio>
#include <vector>

#include "frame/program.h"
#include "frame/timing.h"
#include "video/image_files.h"
#include "video/screen.h"

void ApplicationMain() {
    std::vector<uint8_t> white(320 * 240 * 3, 255);
    WriteImageFileExact("white.bmp", white.data(), 320, 240, 320, 240);
    ClearBackground();
    PresentFrame();
    const float start = GetTimerAll();
    FadeToBackgroundImage(BasicString("white.bmp"));
    printf("fade %d\n", static_cast<int>(GetTimerAll() - start));
}
