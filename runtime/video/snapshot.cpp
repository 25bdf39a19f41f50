// Keeping the last shown frame and writing it at shutdown.
#include "video/snapshot.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "video/back_buffer.h"
#include "video/image_files.h"

namespace {

struct ShownFrame {
    std::vector<uint16_t> pixels;
    int32_t width = 0;
    int32_t height = 0;
};

ShownFrame g_shown_frame;

const char* SnapshotName() {
    const char* name = getenv("KORVANE_SNAPSHOT");
    return name != nullptr && name[0] != 0 ? name : nullptr;
}

}  // namespace

void RememberShownFrame() {
    if (SnapshotName() == nullptr || g_back_buffer.colour_buffer == nullptr || g_back_buffer.pixel_count <= 0)
        return;
    g_shown_frame.width = g_back_buffer.width;
    g_shown_frame.height = g_back_buffer.height;
    g_shown_frame.pixels.assign(g_back_buffer.colour_buffer, g_back_buffer.colour_buffer + g_back_buffer.pixel_count);
}

void SaveShownFrameSnapshot() {
    const char* name = SnapshotName();
    if (name != nullptr && !g_shown_frame.pixels.empty()) {
        const size_t count = g_shown_frame.pixels.size();
        std::vector<uint8_t> bgr(count * 3);
        for (size_t i = 0; i < count; ++i) {
            const uint16_t p = g_shown_frame.pixels[i];
            bgr[i * 3] = static_cast<uint8_t>((p & 31) << 3);
            bgr[i * 3 + 1] = static_cast<uint8_t>(((p >> 5) & 63) << 2);
            bgr[i * 3 + 2] = static_cast<uint8_t>((p >> 11) << 3);
        }
        // The frame is written exactly as shown: no colour key applies to a snapshot.
        if (!WriteImageFileExact(name, bgr.data(), g_shown_frame.width, g_shown_frame.height, g_shown_frame.width,
                                 g_shown_frame.height))
            printf("snapshot not saved: %s\n", name);
    }
    g_shown_frame.pixels.clear();
    g_shown_frame.pixels.shrink_to_fit();
}
