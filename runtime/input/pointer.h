// The pointer: sampled through SDL's mouse state while button 1 is held, smoothed by a weighted average of
// the latest samples, with sudden jumps accepted only once they persist.
#pragma once

#include <cstdint>

// One pointer report: buttons 1, 2, 3 (0 or 1), movement in x and y since the last report, wheel.
using PointerState = int16_t[6];

// 1 when a state is delivered, 0 when there is no pointer (all values 0).
int32_t ReadPointer(PointerState& state);
void PointerPosition(int32_t& x, int32_t& y, int32_t& button1, int32_t& button2);
void PointerPosition(float& x, float& y, float& button1, float& button2);
void SetPointerPosition(int32_t x, int32_t y);
// 0, 1, 2: movement x, y, wheel; 3, 4, 5: buttons 1, 2, 3; 0 when there is no pointer.
int32_t PointerAxis(int32_t n);

// Buttons 1 and 2 of the last delivered report, as bits 0 and 1.
int32_t LastPointerButtons();

// The sampling seam: the mouse state (position and SDL button mask) and the wall clock in milliseconds.
struct PointerSampler {
    uint8_t (*mouse_state)(int* x, int* y);
    int64_t (*wall_ms)();
};
PointerSampler& PointerSampling();
void ResetPointerSampling();
// Forgets collected samples and remembered values (a new pointer session).
void ResetPointerFilter();
