// Lumora, the screen light: a white picture over the whole screen until one of the watched controls is
// pressed, then back to the launcher.
#include "frame/program.h"
#include "input/input_device.h"
#include "video/image_files.h"
#include "video/screen.h"

namespace {

// Scan codes in the order they are tested: the four pad directions, then space, tab, return, Z, X and left
// control. The buttons on bits 10, 11, 16 and 17 are not watched.
const int32_t kWatchedScanCodes[] = {203, 205, 200, 208, 57, 15, 28, 44, 45, 29};
// Caps lock (the button on bit 15) leaves the loop, which ends the same way.
const int32_t kLeaveScanCode = 58;

}  // namespace

void ApplicationMain() {
    SetScreenMode(320, 240, 0);
    LoadBackgroundImage(BasicString("white_background.bmp"));
    PresentFrame();
    for (;;) {
        for (int32_t code : kWatchedScanCodes)
            if (KeyState(code) == 1) EndProgram();
        if (KeyState(kLeaveScanCode) == 1) break;
    }
    EndProgram();
}
