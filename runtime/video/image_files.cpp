// Choosing a reader, the BMP writer and the format choice of writes, and the picture-file commands.
#include "video/image_files.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "files/pack_source.h"
#include "frame/timing.h"
#include "video/back_buffer.h"
#include "files/memory_file.h"
#include "video/byte_source.h"
#include "video/primitives.h"
#include "video/screen.h"
#include "video/sprite.h"
#include "video/video_context.h"

namespace {

constexpr uint32_t kResolvedNameLimit = 1024;
constexpr uint32_t kBmpHeaderSize = 54;

void PutLittle16(uint8_t* p, uint32_t value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}
void PutLittle32(uint8_t* p, uint32_t value) {
    PutLittle16(p, value);
    PutLittle16(p + 2, value >> 16);
}

bool EndsInPng(const char* name) {
    const size_t length = strlen(name);
    return length > 4 && name[length - 4] == '.' && tolower(static_cast<unsigned char>(name[length - 3])) == 'p' &&
           tolower(static_cast<unsigned char>(name[length - 2])) == 'n' &&
           tolower(static_cast<unsigned char>(name[length - 1])) == 'g';
}

// The blue, green, red bytes that a keyed pixel has once a picture's RGB565 storage is widened back to
// 24 bits.
void KeyBytes(uint8_t key[3]) {
    const int32_t colour = g_video_context != nullptr ? g_video_context->transparent_colour : kDefaultTransparentColour;
    key[0] = static_cast<uint8_t>((colour >> 16) & 0xF8);
    key[1] = static_cast<uint8_t>((colour >> 8) & 0xFC);
    key[2] = static_cast<uint8_t>(colour & 0xF8);
}

// A pixel counts as keyed only when all three bytes equal the key's, in both formats: a PNG save makes
// exactly the pixels transparent that a BMP save would write in the transparent colour, and every other
// pixel stays opaque.
bool MatchesKey(const uint8_t* pixel, const uint8_t* key) {
    return key != nullptr && pixel[0] == key[0] && pixel[1] == key[1] && pixel[2] == key[2];
}

// The shared writer. key: blue, green, red bytes of the transparent colour, or null to write every pixel as
// it is. Source and output share their top-left corner in both formats.
int32_t WriteBgrPicture(const char* name, const uint8_t* pixels, int32_t width, int32_t height,
                        int32_t source_row_length, int32_t source_rows, const uint8_t* key) {
    // The written area must lie inside the source, and must be a picture a reader would accept.
    if (name == nullptr || pixels == nullptr || width <= 0 || height <= 0 || width > source_row_length ||
        height > source_rows || width > kMaxImageSide || height > kMaxImageSide)
        return 0;
    const uint64_t source_stride = static_cast<uint64_t>(source_row_length) * 3;
    if (EndsInPng(name)) {
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<uint64_t>(width) * height * 4]);
        if (buffer == nullptr) return 0;
        for (int32_t row = 0; row < height; ++row) {
            const uint8_t* in = pixels + row * source_stride;
            uint8_t* out = buffer.get() + static_cast<uint64_t>(row) * width * 4;
            for (int32_t x = 0; x < width; ++x, in += 3, out += 4) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = MatchesKey(in, key) ? 0 : 255;
            }
        }
        return WritePngImage(name, buffer.get(), width, height);
    }
    if (IsMemoryFileName(name)) return 0;
    remove(name);
    FILE* file = fopen(name, "wb");
    if (file == nullptr) {
        printf("can't write to file: %s\n", name);
        return 0;
    }
    const uint32_t row_length = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    const uint64_t area_bytes = static_cast<uint64_t>(row_length) * height;
    std::vector<uint8_t> area;
    area.resize(kBmpHeaderSize + area_bytes);
    uint8_t* header = area.data();
    header[0] = 'B';
    header[1] = 'M';
    PutLittle32(header + 2, static_cast<uint32_t>(area_bytes + kBmpHeaderSize));
    PutLittle32(header + 10, kBmpHeaderSize);
    PutLittle32(header + 14, 40);
    PutLittle32(header + 18, static_cast<uint32_t>(width));
    PutLittle32(header + 22, static_cast<uint32_t>(height));
    PutLittle16(header + 26, 1);
    PutLittle16(header + 28, 24);
    PutLittle32(header + 38, 10000);
    PutLittle32(header + 42, 10000);
    for (int32_t row = 0; row < height; ++row) {
        const uint8_t* in = pixels + row * source_stride;
        uint8_t* out = header + kBmpHeaderSize + static_cast<uint64_t>(height - 1 - row) * row_length;
        for (int32_t x = 0; x < width; ++x, in += 3, out += 3) {
            if (MatchesKey(in, key)) {
                out[0] = 128;  // the default transparent colour, 0x8000FF
                out[1] = 0;
                out[2] = 255;
            } else {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
    }
    const bool written = fwrite(area.data(), 1, area.size(), file) == area.size();
    const bool closed = fclose(file) == 0;
    return written && closed ? 1 : 0;
}

// The request every command makes: the general pack reader, memory files allowed. The resolved name is
// kept within the 1023 characters of the fixed name buffer.
bool RequestPicture(const BasicString& name, BasicString& resolved) {
    if (g_general_pack == nullptr) return false;
    if (!RequestFile(*g_general_pack, name, resolved, 1)) return false;
    if (resolved.length() >= kResolvedNameLimit) resolved.SetLength(kResolvedNameLimit - 1);
    return true;
}

// Reads the picture into the slot. On failure the slot stays as it was.
bool LoadIntoSlot(SpriteSlot& slot, const char* resolved, int32_t key_colour) {
    DecodedImage decoded;
    if (!ReadImageFile(decoded, resolved, key_colour) || decoded.width == 0 || decoded.height == 0) return false;
    ConvertToSprite(slot, decoded, key_colour);
    return true;
}

void LoadNumbered(const BasicString& name, int32_t number, int32_t key_colour) {
    SpriteSlot* slot = NumberedSlot(number);
    if (slot == nullptr) return;
    EmptySprite(number);
    BasicString resolved;
    if (!RequestPicture(name, resolved) || !LoadIntoSlot(*slot, resolved.c_str(), key_colour)) return;
    SpriteInfo& info = *NumberedInfo(number);
    info.alloc_width = info.logical_width = static_cast<int16_t>(slot->width);
    info.alloc_height = info.logical_height = static_cast<int16_t>(slot->height);
}

// RGB565 pixels widened to blue, green, red bytes.
std::unique_ptr<uint8_t[]> WidenToBgr(const SpriteSlot& slot) {
    const uint64_t count = static_cast<uint64_t>(slot.width) * slot.height;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[count * 3]);
    if (buffer == nullptr) return buffer;
    uint8_t* out = buffer.get();
    for (uint64_t i = 0; i < count; ++i, out += 3) {
        const uint16_t p = slot.pixels[i];
        out[0] = static_cast<uint8_t>((p & 31) << 3);
        out[1] = static_cast<uint8_t>(((p >> 5) & 63) << 2);
        out[2] = static_cast<uint8_t>((p >> 11) << 3);
    }
    return buffer;
}

void DrawFull(const SpriteSlot& slot) { BlitImage(slot, 0, 0, 0, 0, slot.width, slot.height); }

}  // namespace

int32_t ReadImageFile(DecodedImage& image, const char* name, int32_t key_colour) {
    if (ReadBmpImage(image, name, key_colour)) return 1;
    return ReadPngImage(image, name, key_colour);
}

int32_t WriteImageFile(const char* name, const uint8_t* pixels, int32_t width, int32_t height,
                       int32_t source_row_length, int32_t source_rows) {
    uint8_t key[3];
    KeyBytes(key);
    return WriteBgrPicture(name, pixels, width, height, source_row_length, source_rows, key);
}

int32_t WriteImageFileExact(const char* name, const uint8_t* pixels, int32_t width, int32_t height,
                            int32_t source_row_length, int32_t source_rows) {
    return WriteBgrPicture(name, pixels, width, height, source_row_length, source_rows, nullptr);
}

void LoadSpriteImage(const BasicString& name, int32_t slot) {
    const int32_t key = g_video_context != nullptr ? g_video_context->transparent_colour : kDefaultTransparentColour;
    LoadNumbered(name, slot, key);
}

void LoadSpriteImageDefaultKey(const BasicString& name, int32_t slot) {
    LoadNumbered(name, slot, kDefaultTransparentColour);
}

void LoadAnimationStrip(const BasicString& name, int32_t slot, int32_t frame_width, int32_t frame_height) {
    LoadSpriteImage(name, slot);
    const SpriteSlot* loaded = NumberedSlot(slot);
    if (loaded == nullptr || loaded->width <= 0) return;
    SpriteInfo& info = *NumberedInfo(slot);
    info.frame_width = static_cast<int16_t>(frame_width);
    info.frame_height = static_cast<int16_t>(frame_height);
}

int32_t LoadBackgroundImage(const BasicString& name) {
    if (g_video_context == nullptr) return 0;
    BasicString resolved;
    SpriteSlot& background = g_video_context->background[0];
    if (!RequestPicture(name, resolved) || !LoadIntoSlot(background, resolved.c_str(), kNoColourKey)) {
        ClearBackground();
        return 0;
    }
    DrawFull(background);
    return 1;
}

void FadeToBackgroundImage(const BasicString& name) {
    if (g_video_context == nullptr) return;
    BasicString resolved;
    if (!RequestPicture(name, resolved)) return;
    RevuDIVavuduri& video = *g_video_context;
    CaptureRect(video.background[2], 0, 0, g_back_buffer.width, g_back_buffer.height, video.transparent_colour);
    LoadIntoSlot(video.background[1], resolved.c_str(), kNoColourKey);
    EmptySlot(video.background[0]);
    ClearColourBuffer();
    const float start = GetTimerAll();
    const float end = start + 1500.0f;
    float f = 0.9f;
    do {
        SetBlendAmount(f);
        DrawFull(video.background[2]);
        SetBlendAmount(1.0f - f);
        DrawFull(video.background[1]);
        PresentFrame();
        f = (end - GetTimerAll()) / 1500.0f;
    } while (f < 1.0f && f > 0.0f);
    EmptySlot(video.background[1]);
    EmptySlot(video.background[2]);
    LoadIntoSlot(video.background[0], resolved.c_str(), kNoColourKey);
    SetBlendAmount(0.0f);
    DrawFull(video.background[0]);
    PresentFrame();
}

int32_t SaveScreenImage(const BasicString& name) {
    if (g_video_context == nullptr) return 0;
    SpriteSlot screen;
    CaptureRect(screen, 0, 0, g_back_buffer.width, g_back_buffer.height, g_video_context->transparent_colour);
    int32_t result = 0;
    if (screen.pixels != nullptr) {
        std::unique_ptr<uint8_t[]> buffer = WidenToBgr(screen);
        if (buffer != nullptr)
            result = WriteImageFile(name.c_str(), buffer.get(), screen.width, screen.height, screen.width,
                                    screen.height);
    }
    EmptySlot(screen);
    return result;
}

int32_t SaveSpriteImage(const BasicString& name, int32_t number) {
    const SpriteSlot* slot = NumberedSlot(number);
    if (slot == nullptr || slot->pixels == nullptr) return 0;
    const SpriteInfo& info = *NumberedInfo(number);
    std::unique_ptr<uint8_t[]> buffer = WidenToBgr(*slot);
    if (buffer == nullptr) return 0;
    // The logical size is taken from the top-left of the stored pixels; the stored size is the slot's own, so
    // the writer never reads past what the slot holds.
    return WriteImageFile(name.c_str(), buffer.get(), info.logical_width, info.logical_height, slot->width,
                          slot->height);
}
