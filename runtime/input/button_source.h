// Where the button word comes from.
//
// On the handheld it is the GPIO device. On a desktop, stand-ins take its place: a file named by the
// environment variable KORVANE_GPIO (its first 4 bytes, little-endian, read afresh at every read), or, with a
// real window open, the keyboard. With neither, the device is missing and every read fails.
#pragma once

#include <cstdint>

enum class ButtonSourceKind { kNone, kDevice, kFile, kKeyboard };

// Opens the best source there is. Returns the kind and, for the device and the file, the descriptor.
ButtonSourceKind OpenButtonSource(int32_t& handle);
// Reads the word; false when exactly 4 bytes could not be had.
bool ReadButtonSource(ButtonSourceKind kind, int32_t handle, uint32_t& word);
void CloseButtonSource(ButtonSourceKind kind, int32_t handle);

// The keyboard stand-in's mapping, from SDL's key-state array (indexed by SDL key symbol): the arrow keys
// drive the pad bits and one key per button.
uint32_t ButtonWordFromKeys(const uint8_t* keys);
