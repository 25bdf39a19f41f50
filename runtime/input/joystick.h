// Joystick commands over the handheld's one joystick (the pad and buttons). The joystick number is accepted
// and not consulted. Values come from the last button word read (every PresentFrame reads it).
#pragma once

#include <cstdint>

#include "text/basic_string.h"

// Button n (0..31) as 0 or 1; 0 for any other n.
int32_t JoystickButton(int32_t joystick, int32_t n);
// Axis value / 32767, clamped to -1..1.
float JoystickAxisX(int32_t joystick);
float JoystickAxisY(int32_t joystick);
float JoystickAxisZ(int32_t joystick);
float JoystickRotationX(int32_t joystick);
float JoystickRotationY(int32_t joystick);
float JoystickRotationZ(int32_t joystick);
// Hat 0 as -1, 0 or 1 on each axis.
int32_t JoystickHatHorizontal(int32_t joystick);
int32_t JoystickHatVertical(int32_t joystick);
// x and y as the integer part of axis / 30000, b1 and b2 as buttons 0 and 1.
void JoystickSummary(float& x, float& y, float& button1, float& button2);
// "WIZ" for 0 <= n < JoystickCount(), else "".
BasicString JoystickName(int32_t n);
int32_t JoystickCount();
// The handheld has no rumble.
void JoystickRumble(int32_t joystick, float strength, int32_t duration_ms);
