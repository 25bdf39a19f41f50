// libFuzzer target: the BMP reader on arbitrary bytes, read from memory through a "mem://" name.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "video/image_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char name[64];
    snprintf(name, sizeof(name), "mem://%08zx.%llx", size,
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(data)));
    DecodedImage image;
    // With and without a colour key: the keyed path touches every decoded pixel a second time.
    ReadBmpImage(image, name, kNoColourKey);
    ReadBmpImage(image, name, 0x8000FF);
    return 0;
}
