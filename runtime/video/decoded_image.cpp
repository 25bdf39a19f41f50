// DecodedImage storage.
#include "video/decoded_image.h"

#include <cstring>
#include <new>

DecodedImage::~DecodedImage() { EmptyDecodedImage(*this); }

void EmptyDecodedImage(DecodedImage& image) {
    delete[] image.rgba;
    image.rgba = nullptr;
    image.width = 0;
    image.height = 0;
    image.capacity = 0;
}

bool SizeDecodedImage(DecodedImage& image, int32_t width, int32_t height) {
    if (width <= 0 || height <= 0 || width > kMaxImageSide || height > kMaxImageSide) {
        EmptyDecodedImage(image);
        return false;
    }
    const uint64_t bytes = static_cast<uint64_t>(width) * static_cast<uint64_t>(height) * 4;
    if (bytes > kMaxDecodedBytes) {
        EmptyDecodedImage(image);
        return false;
    }
    if (image.rgba == nullptr || static_cast<uint64_t>(image.capacity) < bytes) {
        EmptyDecodedImage(image);
        image.rgba = new (std::nothrow) uint8_t[bytes];
        if (image.rgba == nullptr) return false;
        image.capacity = static_cast<int32_t>(bytes);
    }
    image.width = width;
    image.height = height;
    memset(image.rgba, 0, bytes);
    return true;
}
