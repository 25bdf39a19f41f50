// The button device and everything derived from its 32-bit word: the joystick state, keyboard scan codes,
// and characters for text entry.
//
// Bits 0 to 7 of the word are the eight pad directions (up, up-left, left, down-left, down, down-right, right,
// up-right), bits 8 to 18 the eleven buttons. Nothing buffers presses: every query reads the present state.
#pragma once

#include <cstdint>

#include "input/button_source.h"

struct InputDevice {
    int32_t pointer_x = 100;
    int32_t pointer_y = 100;
    uint32_t button_word = 0;
    int32_t device_handle = -1;
    int32_t pointer_availability = -1;
    uint8_t cursor_flag = 0;
    int32_t joystick_count = 0;
    uint8_t fresh = 1;
    int16_t last_reported_x = 0;
    int16_t last_reported_y = 0;
    int16_t last_wheel = 0;

    // Where the word comes from: the GPIO device, a stand-in file, the keyboard, or nothing.
    ButtonSourceKind source = ButtonSourceKind::kNone;
    // ReadKeyChar's remembered character (lowered), for repeat suppression.
    int32_t last_key_char = 0;
};

extern InputDevice* g_input_device;

// The DirectInput joystick record.
struct JoystickState {
    int32_t x = 0, y = 0, z = 0;
    int32_t rotation_x = 0, rotation_y = 0, rotation_z = 0;
    int32_t sliders[2] = {0, 0};
    uint32_t hats[4] = {0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu};  // no direction
    uint8_t buttons[32] = {};
};

void CreateInputDevice();
// Closes the device (handle -1, pointer availability -1, cursor flag 1) and frees the object.
void ReleaseInputDevice();

// Opens "/dev/GPIO" (or its stand-in) and marks one joystick and a pointer as present.
void OpenButtonDevice();
// Reads the 4-byte button word; prints "GPIO READ ERROR" and leaves 0 on any other outcome.
void ReadButtonWord();
// Fills the joystick record from the last word read, without reading the device.
void ReadJoystickState(JoystickState& state);
// Derives the joystick record from a button word.
JoystickState JoystickFromWord(uint32_t word);
// 1 when the control answering the PC set-1 scan code is held (low 8 bits of the code), from a fresh read.
int32_t KeyState(int32_t scancode);
// The answer of the scan-code table for a word already read.
int32_t KeyAnswer(uint32_t word, const JoystickState& state, int32_t scancode);
// A character from the held buttons, 0 for none; a held character is reported once until released.
int32_t ReadKeyChar();
void SetCursorFlag(float value);
