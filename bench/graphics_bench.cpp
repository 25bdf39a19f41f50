// 2D graphics throughput: opaque and keyed blits, rectangle fills and picture decoding, each beside the
// baseline it should be measured against (memcpy, SDL 1.2's RLE colour-key blit, memset, libpng's
// simplified API), run in the same process so the figures compare.
#include <SDL.h>
#include <benchmark/benchmark.h>
#include <png.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "video/back_buffer.h"
#include "video/decoded_image.h"
#include "video/image_files.h"
#include "video/primitives.h"
#include "video/sprite.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

void EnsureBackBuffer() {
    if (g_back_buffer.width != kWidth || g_back_buffer.height != kHeight) CreateBackBuffer(kWidth, kHeight);
    SetBlend(0);
}

// A w x h picture with varied colours; with `border`, a frame of that many transparent pixels.
void MakeSlot(SpriteSlot& slot, int w, int h, int border) {
    DecodedImage image;
    SizeDecodedImage(image, w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = image.rgba + (y * w + x) * 4;
            p[0] = static_cast<uint8_t>(x * 3);
            p[1] = static_cast<uint8_t>(y * 5);
            p[2] = static_cast<uint8_t>(x + y);
            const bool transparent = x < border || y < border || x >= w - border || y >= h - border;
            p[3] = transparent ? 0 : 255;
        }
    ConvertToSprite(slot, image, 0x8000FF);
}

void BM_BlitSpriteOpaque320x240(benchmark::State& state) {
    EnsureBackBuffer();
    SpriteSlot slot;
    MakeSlot(slot, kWidth, kHeight, 0);
    for (auto _ : state) {
        BlitImage(slot, 0, 0, 0, 0, kWidth, kHeight);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
    EmptySlot(slot);
}
BENCHMARK(BM_BlitSpriteOpaque320x240);

void BM_MemcpyScreen(benchmark::State& state) {
    std::vector<uint16_t> from(kWidth * kHeight, 0x1234), to(kWidth * kHeight);
    for (auto _ : state) {
        memcpy(to.data(), from.data(), from.size() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
}
BENCHMARK(BM_MemcpyScreen);

void BM_BlitSpriteKeyed64(benchmark::State& state) {
    EnsureBackBuffer();
    SpriteSlot slot;
    MakeSlot(slot, 64, 64, 8);
    for (auto _ : state) {
        BlitImage(slot, 128, 88, 0, 0, 64, 64);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
    EmptySlot(slot);
}
BENCHMARK(BM_BlitSpriteKeyed64);

void BM_SdlBlitKeyedRle64(benchmark::State& state) {
    SpriteSlot slot;
    MakeSlot(slot, 64, 64, 8);
    SDL_Surface* sprite = SDL_CreateRGBSurface(SDL_SWSURFACE, 64, 64, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_Surface* screen = SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 16, 0xF800, 0x07E0, 0x001F, 0);
    SDL_LockSurface(sprite);
    for (int y = 0; y < 64; ++y)
        memcpy(static_cast<uint8_t*>(sprite->pixels) + y * sprite->pitch, slot.pixels + y * 64, 128);
    SDL_UnlockSurface(sprite);
    SDL_SetColorKey(sprite, SDL_SRCCOLORKEY | SDL_RLEACCEL, slot.key565);
    SDL_Rect where = {128, 88, 64, 64};
    for (auto _ : state) {
        SDL_Rect target = where;
        SDL_BlitSurface(sprite, nullptr, screen, &target);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 64 * 64);
    SDL_FreeSurface(sprite);
    SDL_FreeSurface(screen);
    EmptySlot(slot);
}
BENCHMARK(BM_SdlBlitKeyedRle64);

void BM_FillRectangleScreen(benchmark::State& state) {
    EnsureBackBuffer();
    for (auto _ : state) {
        FillRectangle(0, 0, kWidth, kHeight, 0x336699);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
}
BENCHMARK(BM_FillRectangleScreen);

void BM_MemsetScreen(benchmark::State& state) {
    std::vector<uint16_t> to(kWidth * kHeight);
    for (auto _ : state) {
        memset(to.data(), 0x5A, to.size() * 2);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
}
BENCHMARK(BM_MemsetScreen);

void BM_FillRectangleScreenBlended(benchmark::State& state) {
    EnsureBackBuffer();
    SetBlend(-128);
    for (auto _ : state) {
        FillRectangle(0, 0, kWidth, kHeight, 0x336699);
        benchmark::ClobberMemory();
    }
    SetBlend(0);
    state.SetBytesProcessed(state.iterations() * kWidth * kHeight * 2);
}
BENCHMARK(BM_FillRectangleScreenBlended);

// A 320 x 240 picture as BMP and PNG file bytes, written with our own writers.
const std::string& PictureBytes(bool png) {
    static std::string bmp_bytes, png_bytes;
    if (bmp_bytes.empty()) {
        std::vector<uint8_t> bgr(kWidth * kHeight * 3);
        for (int i = 0; i < kWidth * kHeight; ++i) {
            bgr[i * 3] = static_cast<uint8_t>(i * 7);
            bgr[i * 3 + 1] = static_cast<uint8_t>(i / kWidth);
            bgr[i * 3 + 2] = static_cast<uint8_t>(i % kWidth);
        }
        char bmp_name[] = "/tmp/korvane-bench-XXXXXX";
        const int fd = mkstemp(bmp_name);
        if (fd >= 0) close(fd);
        for (bool as_png : {false, true}) {
            const std::string name = std::string(bmp_name) + (as_png ? ".png" : ".bmp");
            WriteImageFileExact(name.c_str(), bgr.data(), kWidth, kHeight, kWidth, kHeight);
            FILE* file = fopen(name.c_str(), "rb");
            std::string& bytes = as_png ? png_bytes : bmp_bytes;
            char chunk[65536];
            size_t got;
            while (file != nullptr && (got = fread(chunk, 1, sizeof(chunk), file)) > 0) bytes.append(chunk, got);
            if (file != nullptr) fclose(file);
            remove(name.c_str());
        }
        remove(bmp_name);
    }
    return png ? png_bytes : bmp_bytes;
}

std::string MemoryName(const std::string& bytes) {
    char name[64];
    snprintf(name, sizeof(name), "mem://%08x.%llx", static_cast<unsigned>(bytes.size()),
             static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(bytes.data())));
    return name;
}

void BM_ReadImageFileBmp(benchmark::State& state) {
    const std::string name = MemoryName(PictureBytes(false));
    DecodedImage image;
    for (auto _ : state) benchmark::DoNotOptimize(ReadImageFile(image, name.c_str(), kNoColourKey));
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ReadImageFileBmp);

void BM_ReadImageFilePng(benchmark::State& state) {
    const std::string name = MemoryName(PictureBytes(true));
    DecodedImage image;
    for (auto _ : state) benchmark::DoNotOptimize(ReadImageFile(image, name.c_str(), kNoColourKey));
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_ReadImageFilePng);

void BM_LibpngSimplifiedPng(benchmark::State& state) {
    const std::string& bytes = PictureBytes(true);
    std::vector<uint8_t> out(kWidth * kHeight * 4);
    for (auto _ : state) {
        png_image image;
        memset(&image, 0, sizeof(image));
        image.version = PNG_IMAGE_VERSION;
        png_image_begin_read_from_memory(&image, bytes.data(), bytes.size());
        image.format = PNG_FORMAT_RGBA;
        benchmark::DoNotOptimize(png_image_finish_read(&image, nullptr, out.data(), 0, nullptr));
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_LibpngSimplifiedPng);

}  // namespace
