// make_white_background: writes the screen light's picture, a white 320 x 240 24-bit BMP, with the runtime's
// own BMP writer. The build runs it so that the picture always lies beside the lumora executable.
//
// Usage: make_white_background OUTPUT.bmp
#include <cstdio>
#include <vector>

#include "video/image_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s OUTPUT.bmp\n", argv[0]);
        return 2;
    }
    constexpr int kWidth = 320;
    constexpr int kHeight = 240;
    const std::vector<uint8_t> white(static_cast<size_t>(kWidth) * kHeight * 3, 0xFF);
    if (!WriteImageFileExact(argv[1], white.data(), kWidth, kHeight, kWidth, kHeight)) {
        fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
        return 1;
    }
    return 0;
}
