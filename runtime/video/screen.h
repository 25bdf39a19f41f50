// Screen commands: presenting a frame, the screen mode, the viewport, reading pixels back, the quit
// combination and the background.
#pragma once

#include <cstdint>

// Once per frame: reads the buttons, handles quit requests, shows the BackBuffer, paces, and returns with an
// opaque blend, the whole-screen viewport and the background (or black) already drawn for the next frame.
void PresentFrame();
// Records the mode in the start-up settings and presents five frames; the display keeps its opened mode.
void SetScreenMode(int32_t width, int32_t height, int32_t fullscreen);
// A width or height below 1 selects the whole BackBuffer.
void SetViewport(int32_t x, int32_t y, int32_t width, int32_t height);
void GetViewport(int32_t& x, int32_t& y, int32_t& width, int32_t& height);
void GetViewport(float& x, float& y, float& width, float& height);
void GetScreenSize(int32_t& width, int32_t& height);
void GetScreenSize(float& width, float& height);
// Colour 0x00BBGGRR of the pixel at (x, y) relative to the clip origin; 0 outside the BackBuffer.
int32_t ReadPixel(int32_t x, int32_t y);
int32_t IsFullscreen();
void SetFullscreenFlag(int32_t fullscreen);
// Switches the quit combination (the buttons on bits 16 and 17 held together) on or off.
void AllowQuitCombination(float value);
bool QuitCombinationAllowed();
// Drops background image 0 and clears the colour buffer to black.
void ClearBackground();
