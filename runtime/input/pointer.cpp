// Pointer sampling and smoothing.
#include "input/pointer.h"

#include <SDL.h>
#include <sys/time.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "input/input_device.h"
#include "video/screen.h"

namespace {

constexpr int kMaxSamples = 14;
constexpr int kSamplesWanted = 13;
constexpr int kJumpsToAccept = 9;
constexpr int kJumpDistance = 15;

struct Sample {
    int x, y;
};

struct PointerFilter {
    Sample samples[kMaxSamples];
    int sample_count = 0;
    int64_t last_sample_ms = INT64_MIN / 2;
    int16_t delivered[6] = {0, 0, 0, 0, 0, 0};
};

PointerFilter g_filter;

uint8_t SdlMouseState(int* x, int* y) {
    SDL_PumpEvents();
    return SDL_GetMouseState(x, y);
}

int64_t WallMs() {
    timeval now;
    gettimeofday(&now, nullptr);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_usec / 1000;
}

const PointerSampler kDefaultSampler = {SdlMouseState, WallMs};
PointerSampler g_sampler = kDefaultSampler;

void KeepSample(const Sample& sample) {
    if (g_filter.sample_count == kMaxSamples) {
        memmove(g_filter.samples, g_filter.samples + 1, sizeof(Sample) * (kMaxSamples - 1));
        --g_filter.sample_count;
    }
    g_filter.samples[g_filter.sample_count++] = sample;
}

// The newest sample weighs 8, those before it 7 down to 1, every older one 1.
Sample WeightedPosition() {
    int64_t sum_x = 0, sum_y = 0, weights = 0;
    for (int i = 0; i < g_filter.sample_count; ++i) {
        const int age = g_filter.sample_count - 1 - i;
        const int weight = std::max(8 - age, 1);
        sum_x += static_cast<int64_t>(weight) * g_filter.samples[i].x;
        sum_y += static_cast<int64_t>(weight) * g_filter.samples[i].y;
        weights += weight;
    }
    return {static_cast<int>((sum_x * 256 / weights) >> 8), static_cast<int>((sum_y * 256 / weights) >> 8)};
}

void Deliver(PointerState& state) { memcpy(g_filter.delivered, state, sizeof(g_filter.delivered)); }

}  // namespace

PointerSampler& PointerSampling() { return g_sampler; }

void ResetPointerSampling() { g_sampler = kDefaultSampler; }

void ResetPointerFilter() { g_filter = PointerFilter(); }

int32_t LastPointerButtons() { return (g_filter.delivered[0] != 0) | ((g_filter.delivered[1] != 0) << 1); }

int32_t ReadPointer(PointerState& state) {
    InputDevice* device = g_input_device;
    if (device == nullptr || device->pointer_availability < 0) {
        memset(state, 0, sizeof(PointerState));
        return 0;
    }
    // A report that is not fresh repeats the movement last delivered: the state starts from the values
    // delivered last time either way.
    memcpy(state, g_filter.delivered, sizeof(PointerState));
    const int64_t now = g_sampler.wall_ms();
    if (now - g_filter.last_sample_ms < 6) return 1;
    g_filter.last_sample_ms = now;
    state[0] = state[1] = state[2] = state[5] = 0;

    Sample jumps[kJumpsToAccept];
    int jump_count = 0;
    // At least one new sample per call, and enough for a steady average; at most 14 are kept.
    do {
        Sample sample;
        const uint8_t buttons = g_sampler.mouse_state(&sample.x, &sample.y);
        if (!(buttons & SDL_BUTTON(1))) {
            g_filter.sample_count = 0;
            state[0] = 0;
            Deliver(state);
            return 1;
        }
        if (sample.x < 0 || sample.x > 319 || sample.y < 0 || sample.y > 239) {
            memcpy(state, g_filter.delivered, sizeof(PointerState));
            return 1;
        }
        KeepSample(sample);
        if (std::abs(sample.x - device->pointer_x) > kJumpDistance ||
            std::abs(sample.y - device->pointer_y) > kJumpDistance) {
            jumps[jump_count++] = sample;
            if (jump_count == kJumpsToAccept) {
                // The jump persisted: it is where the pointer really is now.
                memcpy(g_filter.samples, jumps, sizeof(jumps));
                g_filter.sample_count = kJumpsToAccept;
                device->pointer_x = sample.x;
                device->pointer_y = sample.y;
                jump_count = 0;
            }
        }
    } while (g_filter.sample_count < kSamplesWanted);
    const Sample position = WeightedPosition();
    state[0] = 1;
    state[3] = static_cast<int16_t>(position.x - device->last_reported_x);
    state[4] = static_cast<int16_t>(position.y - device->last_reported_y);
    device->last_reported_x = static_cast<int16_t>(position.x);
    device->last_reported_y = static_cast<int16_t>(position.y);
    device->pointer_x = position.x;
    device->pointer_y = position.y;
    device->last_wheel = state[5];
    Deliver(state);
    return 1;
}

void PointerPosition(int32_t& x, int32_t& y, int32_t& button1, int32_t& button2) {
    PointerState state;
    ReadPointer(state);
    x = y = button1 = button2 = 0;
    if (g_input_device == nullptr) return;
    int32_t width, height;
    GetScreenSize(width, height);
    InputDevice& device = *g_input_device;
    device.pointer_x = std::max(0, std::min(device.pointer_x, width - 1));
    device.pointer_y = std::max(0, std::min(device.pointer_y, height - 1));
    x = device.pointer_x;
    y = device.pointer_y;
    button1 = state[0] != 0;
    button2 = state[1] != 0;
}

void PointerPosition(float& x, float& y, float& button1, float& button2) {
    int32_t ix, iy, b1, b2;
    PointerPosition(ix, iy, b1, b2);
    x = static_cast<float>(ix);
    y = static_cast<float>(iy);
    button1 = static_cast<float>(b1);
    button2 = static_cast<float>(b2);
}

void SetPointerPosition(int32_t x, int32_t y) {
    if (g_input_device == nullptr) return;
    g_input_device->pointer_x = x;
    g_input_device->pointer_y = y;
}

int32_t PointerAxis(int32_t n) {
    static const int kStateIndex[6] = {3, 4, 5, 0, 1, 2};
    if (n < 0 || n > 5) return 0;
    PointerState state;
    if (ReadPointer(state) == 0) return 0;
    const int16_t value = state[kStateIndex[n]];
    return n >= 3 ? (value != 0) : value;
}
