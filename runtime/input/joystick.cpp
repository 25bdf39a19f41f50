// Joystick commands.
#include "input/joystick.h"

#include "input/input_device.h"

namespace {

JoystickState Current() {
    JoystickState state;
    ReadJoystickState(state);
    return state;
}

float Axis(int32_t value) {
    const float scaled = static_cast<float>(value) / 32767.0f;
    return scaled < -1.0f ? -1.0f : (scaled > 1.0f ? 1.0f : scaled);
}

}  // namespace

int32_t JoystickButton(int32_t, int32_t n) {
    if (n < 0 || n > 31) return 0;
    return Current().buttons[n] != 0;
}

float JoystickAxisX(int32_t) { return Axis(Current().x); }
float JoystickAxisY(int32_t) { return Axis(Current().y); }
float JoystickAxisZ(int32_t) { return Axis(Current().z); }
float JoystickRotationX(int32_t) { return Axis(Current().rotation_x); }
float JoystickRotationY(int32_t) { return Axis(Current().rotation_y); }
float JoystickRotationZ(int32_t) { return Axis(Current().rotation_z); }

int32_t JoystickHatHorizontal(int32_t) {
    const uint32_t hat = Current().hats[0];
    return hat == 9000 ? 1 : (hat == 27000 ? -1 : 0);
}

int32_t JoystickHatVertical(int32_t) {
    const uint32_t hat = Current().hats[0];
    return hat == 0 ? -1 : (hat == 18000 ? 1 : 0);
}

void JoystickSummary(float& x, float& y, float& button1, float& button2) {
    const JoystickState state = Current();
    x = static_cast<float>(static_cast<int32_t>(state.x / 30000.0));
    y = static_cast<float>(static_cast<int32_t>(state.y / 30000.0));
    button1 = state.buttons[0];
    button2 = state.buttons[1];
}

BasicString JoystickName(int32_t n) {
    if (n >= 0 && n < JoystickCount()) return BasicString("WIZ");
    return BasicString();
}

int32_t JoystickCount() { return g_input_device != nullptr ? g_input_device->joystick_count : 0; }

void JoystickRumble(int32_t, float, int32_t) {}
