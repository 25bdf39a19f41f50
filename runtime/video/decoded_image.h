// DecodedImage: a picture as the file readers hand it over, 8-bit R, G, B, A per pixel, top row first.
//
// It owns its buffer and reuses it for a later picture that fits. Sizes are bounded (kMaxImageSide on a side,
// kMaxDecodedBytes in all) so that a hostile file cannot make a reader allocate without limit or overflow
// its size arithmetic.
#pragma once

#include <cstdint>

constexpr int32_t kMaxImageSide = 16384;
constexpr uint64_t kMaxDecodedBytes = 256ull * 1024 * 1024;

struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* rgba = nullptr;
    int32_t capacity = 0;

    DecodedImage() = default;
    ~DecodedImage();
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;
};

// Frees the buffer; width, height and capacity become 0.
void EmptyDecodedImage(DecodedImage& image);
// Sizes the picture to width x height with every byte 0, reusing the buffer when it is large enough.
// False (and the picture emptied) for a size outside the limits or when the memory cannot be had.
bool SizeDecodedImage(DecodedImage& image, int32_t width, int32_t height);
