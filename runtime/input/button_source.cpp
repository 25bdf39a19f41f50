// The GPIO device and its desktop stand-ins.
#include "input/button_source.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "frame/program.h"

namespace {

const char kGpioDevice[] = "/dev/GPIO";

struct KeyButton {
    SDLKey key;
    int bit;
};

// Keys a PC user expects for the handheld's controls: the arrows for the pad, and for each button the key
// whose scan code the runtime's key table answers with that button.
const KeyButton kKeyButtons[] = {
    {SDLK_UP, 0},       {SDLK_LEFT, 2},       {SDLK_DOWN, 4},     {SDLK_RIGHT, 6},     {SDLK_RETURN, 8},
    {SDLK_TAB, 9},      {SDLK_LSHIFT, 10},    {SDLK_RSHIFT, 11},  {SDLK_z, 12},        {SDLK_x, 13},
    {SDLK_LCTRL, 14},   {SDLK_CAPSLOCK, 15},  {SDLK_PAGEUP, 16},  {SDLK_PAGEDOWN, 17}, {SDLK_SPACE, 18},
};

bool RealWindowOpen() {
    char driver[32] = {0};
    if (SDL_GetVideoSurface() == nullptr || SDL_VideoDriverName(driver, sizeof(driver)) == nullptr) return false;
    return strcmp(driver, "dummy") != 0;
}

uint32_t LittleEndianWord(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

uint32_t ButtonWordFromKeys(const uint8_t* keys) {
    uint32_t word = 0;
    for (const KeyButton& entry : kKeyButtons)
        if (keys[entry.key]) word |= 1u << entry.bit;
    return word;
}

ButtonSourceKind OpenButtonSource(int32_t& handle) {
    handle = open(kGpioDevice, O_RDWR | O_NONBLOCK);
    if (handle >= 0) return ButtonSourceKind::kDevice;
    const char* stand_in = getenv("KORVANE_GPIO");
    if (stand_in != nullptr && stand_in[0] != 0) {
        handle = open(stand_in, O_RDONLY | O_CLOEXEC);
        if (handle >= 0) return ButtonSourceKind::kFile;
    }
    handle = -1;
    if (RealWindowOpen()) return ButtonSourceKind::kKeyboard;
    return ButtonSourceKind::kNone;
}

bool ReadButtonSource(ButtonSourceKind kind, int32_t handle, uint32_t& word) {
    uint8_t bytes[4];
    switch (kind) {
        case ButtonSourceKind::kDevice:
            if (read(handle, bytes, 4) != 4) return false;
            word = LittleEndianWord(bytes);
            return true;
        case ButtonSourceKind::kFile:
            if (pread(handle, bytes, 4, 0) != 4) return false;
            word = LittleEndianWord(bytes);
            return true;
        case ButtonSourceKind::kKeyboard: {
            SDL_PumpEvents();
            // Closing the window is a quit request: a normal end.
            SDL_Event event;
            if (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_QUITMASK) > 0) EndProgram();
            word = ButtonWordFromKeys(SDL_GetKeyState(nullptr));
            return true;
        }
        case ButtonSourceKind::kNone:
            break;
    }
    return false;
}

void CloseButtonSource(ButtonSourceKind kind, int32_t handle) {
    if ((kind == ButtonSourceKind::kDevice || kind == ButtonSourceKind::kFile) && handle >= 0) close(handle);
}
