// A first Korvane program: a square moves with the pad and changes colour while the button on bit 12 (Z on a
// keyboard) is held; the return button (bit 8) ends the program.
#include "frame/program.h"
#include "input/input_device.h"
#include "video/primitives.h"
#include "video/screen.h"

void ApplicationMain() {
    int32_t x = 150, y = 110;
    for (;;) {
        if (KeyState(203)) x -= 2;
        if (KeyState(205)) x += 2;
        if (KeyState(200)) y -= 2;
        if (KeyState(208)) y += 2;
        if (KeyState(28)) EndProgram();
        const int32_t colour = KeyState(44) ? 0x0000FF : 0x00FFFF;  // 0x00BBGGRR: red or yellow
        FillRectangle(x, y, 20, 20, colour);
        PresentFrame();
    }
}
