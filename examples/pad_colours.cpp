// A first Korvane program: the screen turns red, green, blue or yellow while the pad is held left, right, up
// or down, and the program ends when the return button (bit 8) is pressed.
#include "frame/program.h"
#include "input/input_device.h"
#include "video/back_buffer.h"
#include "video/screen.h"

void ApplicationMain() {
    for (;;) {
        int32_t colour = 0;  // 0x00BBGGRR
        if (KeyState(203)) colour = 0x0000FF;
        if (KeyState(205)) colour = 0x00FF00;
        if (KeyState(200)) colour = 0xFF0000;
        if (KeyState(208)) colour = 0x00FFFF;
        if (KeyState(28)) EndProgram();
        for (int32_t i = 0; i < g_back_buffer.pixel_count; ++i) g_back_buffer.colour_buffer[i] = ColourTo565(colour);
        PresentFrame();
    }
}
