// Waiting commands.
#include "input/waiting.h"

#include <ctime>
#include <initializer_list>

#include "frame/finish.h"
#include "input/input_device.h"
#include "input/pointer.h"
#include "input/window_events.h"
#include "video/screen.h"

namespace {

void FinishOnQuitRequest() {
    if (PollWindowEvents() == 0) FinishProgram();
}

bool PointerClickHeld() {
    if (g_input_device == nullptr) return false;
    g_input_device->fresh = 1;
    PointerState state;
    ReadPointer(state);
    return state[0] != 0 || state[2] != 0;
}

bool AnyKeyHeld(uint32_t word) {
    const JoystickState state = JoystickFromWord(word);
    for (int32_t code = 1; code <= 254; ++code)
        if (KeyAnswer(word, state, code)) return true;
    return false;
}

bool AnyJoystickInput(uint32_t word) {
    const JoystickState state = JoystickFromWord(word);
    for (uint8_t button : state.buttons)
        if (button) return true;
    const float threshold = 0.2f * 32767.0f;
    for (int32_t axis : {state.x, state.y, state.z})
        if (axis > threshold || axis < -threshold) return true;
    return state.hats[0] != 0xFFFFFFFFu;
}

template <typename Held>
void WaitForPress(Held held) {
    while (held()) FinishOnQuitRequest();
    while (!held()) {
        FinishOnQuitRequest();
        WaitForInputBriefly();
    }
    while (held()) FinishOnQuitRequest();
}

}  // namespace

void WaitKey() {
    WaitForPress([] { return ReadKeyChar() != 0; });
}

void WaitPointerClick() {
    WaitForPress(PointerClickHeld);
}

void WaitForInputBriefly() {
    if (g_input_device == nullptr) return;
    InputDevice& device = *g_input_device;
    int32_t width, height;
    GetScreenSize(width, height);
    auto clamp = [](int32_t value, int32_t limit) { return value < 0 ? 0 : (value >= limit ? limit - 1 : value); };
    const int32_t noted_x = clamp(device.pointer_x, width);
    const int32_t noted_y = clamp(device.pointer_y, height);
    const int32_t noted_buttons = LastPointerButtons();
    for (int pass = 0; pass < 15; ++pass) {
        if (PollWindowEvents() == 0) FinishProgram();
        ReadButtonWord();
        const uint32_t word = device.button_word;
        if (QuitCombinationAllowed() && ((word >> 16) & 3u) == 3u) return;
        if (AnyKeyHeld(word)) return;
        if (clamp(device.pointer_x, width) != noted_x || clamp(device.pointer_y, height) != noted_y ||
            LastPointerButtons() != noted_buttons)
            return;
        if (AnyJoystickInput(word)) return;
        timespec pause = {0, 5000};
        nanosleep(&pause, nullptr);
    }
}
