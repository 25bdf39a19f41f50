// Button word, joystick state, scan codes and characters.
#include "input/input_device.h"

#include <SDL.h>

#include <cstdio>

InputDevice* g_input_device = nullptr;

namespace {

bool Bit(uint32_t word, int bit) { return (word >> bit) & 1u; }

// Joystick buttons 0 to 10 come from these button-word bits.
const int kButtonBits[11] = {12, 13, 14, 15, 18, 8, 9, 17, 16, 10, 11};

}  // namespace

void CreateInputDevice() {
    if (g_input_device == nullptr) g_input_device = new InputDevice();
}

void ReleaseInputDevice() {
    if (g_input_device == nullptr) return;
    if (g_input_device->device_handle >= 0) {
        CloseButtonSource(g_input_device->source, g_input_device->device_handle);
        g_input_device->device_handle = -1;
        g_input_device->pointer_availability = -1;
        g_input_device->cursor_flag = 1;
    }
    delete g_input_device;
    g_input_device = nullptr;
}

void OpenButtonDevice() {
    if (g_input_device == nullptr) return;
    InputDevice& device = *g_input_device;
    device.joystick_count = 1;
    device.source = OpenButtonSource(device.device_handle);
    if (device.source == ButtonSourceKind::kNone) printf("GPIO device not present");
    device.button_word = 0;
    device.cursor_flag = 0;
    SDL_ShowCursor(0);
    device.pointer_availability = 1;
}

void ReadButtonWord() {
    if (g_input_device == nullptr) return;
    InputDevice& device = *g_input_device;
    device.button_word = 0;
    uint32_t word = 0;
    if (ReadButtonSource(device.source, device.device_handle, word)) {
        device.button_word = word;
    } else {
        puts("GPIO READ ERROR");
    }
}

JoystickState JoystickFromWord(uint32_t w) {
    JoystickState state;
    state.x = (Bit(w, 5) || Bit(w, 6) || Bit(w, 7)) - (Bit(w, 1) || Bit(w, 2) || Bit(w, 3));
    state.y = (Bit(w, 3) || Bit(w, 4) || Bit(w, 5)) - (Bit(w, 0) || Bit(w, 1) || Bit(w, 7));
    // A straight direction wins over the diagonal bits.
    if (state.x != 0 && state.y != 0) {
        const bool vertical = Bit(w, 0) || Bit(w, 4);
        const bool horizontal = Bit(w, 2) || Bit(w, 6);
        if (vertical && !horizontal) state.x = 0;
        if (horizontal && !vertical) state.y = 0;
    }
    state.rotation_x = static_cast<int32_t>(Bit(w, 11)) - static_cast<int32_t>(Bit(w, 10));
    state.rotation_z = static_cast<int32_t>(Bit(w, 17)) - static_cast<int32_t>(Bit(w, 16));
    for (int i = 0; i < 11; ++i) state.buttons[i] = Bit(w, kButtonBits[i]) ? 1 : 0;
    return state;
}

void ReadJoystickState(JoystickState& state) {
    state = JoystickFromWord(g_input_device != nullptr ? g_input_device->button_word : 0);
}

int32_t KeyAnswer(uint32_t word, const JoystickState& state, int32_t scancode) {
    switch (scancode & 0xFF) {
        case 1: return Bit(word, 17) && Bit(word, 16);
        case 15: return state.buttons[6];
        case 17: case 58: return state.buttons[3];
        case 28: return state.buttons[5];
        case 29: case 31: return state.buttons[2];
        case 30: case 44: return state.buttons[0];
        case 32: case 45: return state.buttons[1];
        case 42: return state.buttons[9];
        case 54: return state.buttons[10];
        case 57: return state.buttons[4];
        case 200: return state.y < 0;
        case 201: return state.buttons[8];
        case 203: return state.x < 0;
        case 205: return state.x > 0;
        case 208: return state.y > 0;
        case 209: return state.buttons[7];
        default: return 0;
    }
}

int32_t KeyState(int32_t scancode) {
    ReadButtonWord();
    JoystickState state;
    ReadJoystickState(state);
    return KeyAnswer(g_input_device != nullptr ? g_input_device->button_word : 0, state, scancode);
}

namespace {

int32_t CharacterForScanCode(int32_t code) {
    switch (code) {
        case 14: return 8;
        case 28: case 156: return 10;
        case 29: case 42: case 56: case 58: case 69: case 221: return 0;
        default: break;
    }
    return (code < 32 && code != 8 && code != 10) ? 0 : code;
}

}  // namespace

int32_t ReadKeyChar() {
    if (g_input_device == nullptr) return 0;
    ReadButtonWord();
    const uint32_t word = g_input_device->button_word;
    const JoystickState state = JoystickFromWord(word);
    int32_t result = 0;
    for (int32_t code = 0; code <= 254 && result == 0; ++code) {
        if (code == 54 || !KeyAnswer(word, state, code)) continue;
        result = CharacterForScanCode(code);
    }
    if ((Bit(word, 10) || Bit(word, 11)) && result >= 'a' && result <= 'z') result -= 'a' - 'A';
    const int32_t lowered = (result >= 'A' && result <= 'Z') ? result + ('a' - 'A') : result;
    if (lowered == g_input_device->last_key_char) return 0;
    g_input_device->last_key_char = lowered;
    return result;
}

void SetCursorFlag(float value) {
    if (g_input_device != nullptr) g_input_device->cursor_flag = value != 0.0f ? 1 : 0;
}
