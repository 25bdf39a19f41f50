// Per-frame presentation cost (copy to the display surface and background refill) beside memcpy of the same
// bytes, and building texts one character at a time with and without one Reserve first.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "text/basic_string.h"
#include "video/back_buffer.h"
#include "video/sprite.h"
#include "video/video_context.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr size_t kFrameBytes = static_cast<size_t>(kWidth) * kHeight * 2;

void PresentationCopyAndRefill(benchmark::State& state) {
    CreateBackBuffer(kWidth, kHeight);
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, kWidth, kHeight, 16, 0xF800, 0x07E0, 0x001F, 0);
    SpriteSlot background;
    background.width = kWidth;
    background.height = kHeight;
    background.pixels = new uint16_t[kWidth * kHeight];
    background.row_has_key = new uint8_t[kHeight]();
    for (int i = 0; i < kWidth * kHeight; ++i) background.pixels[i] = static_cast<uint16_t>(i);
    for (auto _ : state) {
        CopyFrameToSurface(surface);
        DrawBackgroundFull(background);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBytes * 2);
    EmptySlot(background);
    SDL_FreeSurface(surface);
}
BENCHMARK(PresentationCopyAndRefill);

void MemcpyOfTheSameBytes(benchmark::State& state) {
    std::vector<uint16_t> frame(kWidth * kHeight, 1), display(kWidth * kHeight), background(kWidth * kHeight, 2);
    for (auto _ : state) {
        memcpy(display.data(), frame.data(), kFrameBytes);
        memcpy(frame.data(), background.data(), kFrameBytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kFrameBytes * 2);
}
BENCHMARK(MemcpyOfTheSameBytes);

// Capacities step by four bytes, so every fourth character copies the whole text: cost grows with the
// square of the length.
void AppendOneCharacterAtATime(benchmark::State& state) {
    const int64_t length = state.range(0);
    for (auto _ : state) {
        BasicString text;
        for (int64_t i = 0; i < length; ++i) text.Append("x");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * length);
}
BENCHMARK(AppendOneCharacterAtATime)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void AppendAfterOneReserve(benchmark::State& state) {
    const int64_t length = state.range(0);
    for (auto _ : state) {
        BasicString text;
        text.Reserve(static_cast<uint32_t>(length));
        for (int64_t i = 0; i < length; ++i) text.Append("x");
        benchmark::DoNotOptimize(text.data());
    }
    state.SetItemsProcessed(state.iterations() * length);
}
BENCHMARK(AppendAfterOneReserve)->Arg(1 << 10)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

}  // namespace
