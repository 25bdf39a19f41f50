// Picture files: reading BMP and PNG into a DecodedImage, writing 24-bit BMP and 32-bit PNG, and the
// commands that load pictures into the picture tables, fade to a new background and save the screen or a
// picture.
//
// The readers take a name that RequestFile produced: a path on disk, or a "mem://" memory-file name read
// straight from memory. Every size and offset in a file is treated as hostile: a read that does not add up
// fails without touching memory outside its buffers.
#pragma once

#include <cstdint>

#include "text/basic_string.h"
#include "video/decoded_image.h"

// Colour key -1: no key. Otherwise a pixel whose colour R | G << 8 | B << 16 equals the key reads as all zero.
constexpr int32_t kNoColourKey = -1;
// The key that LoadSpriteImageDefaultKey uses and that saved BMPs give transparent pixels: red 255, blue 128.
constexpr int32_t kDefaultTransparentColour = 0x8000FF;

// 1 on success, 0 on failure (then the picture is emptied).
int32_t ReadBmpImage(DecodedImage& image, const char* name, int32_t key_colour);
int32_t ReadPngImage(DecodedImage& image, const char* name, int32_t key_colour);
// BMP first, then PNG; the name's ending is not consulted.
int32_t ReadImageFile(DecodedImage& image, const char* name, int32_t key_colour);

// Writes width x height pixels of a picture held as 3 bytes per pixel (blue, green, red), rows top to bottom,
// source_row_length pixels per row and source_rows rows: a PNG when the name ends in ".png" (any case), else
// a 24-bit BMP. Pixels matching the transparent colour are written transparent (PNG) or as 0x8000FF (BMP).
// 1 on success, 0 on failure.
int32_t WriteImageFile(const char* name, const uint8_t* pixels, int32_t width, int32_t height,
                       int32_t source_row_length, int32_t source_rows);
// Writes `height` rows of `width` pixels, 4 bytes each (blue, green, red, alpha), as an RGBA PNG.
int32_t WritePngImage(const char* name, const uint8_t* rows, int32_t width, int32_t height);
// The same choice of format as WriteImageFile, with no colour key: every pixel is written as it is.
int32_t WriteImageFileExact(const char* name, const uint8_t* pixels, int32_t width, int32_t height,
                            int32_t source_row_length, int32_t source_rows);

void LoadSpriteImage(const BasicString& name, int32_t slot);
void LoadSpriteImageDefaultKey(const BasicString& name, int32_t slot);
void LoadAnimationStrip(const BasicString& name, int32_t slot, int32_t frame_width, int32_t frame_height);
// Loads the picture as background image 0, drawn under every frame, and draws it now. 1 on success; on
// failure the background is cleared to black.
int32_t LoadBackgroundImage(const BasicString& name);
// Cross-fades from the current screen to the picture over 1.5 seconds; it then stays as the background.
void FadeToBackgroundImage(const BasicString& name);
int32_t SaveScreenImage(const BasicString& name);
int32_t SaveSpriteImage(const BasicString& name, int32_t slot);
