// Sound costs: loading a 1 MiB effect through LoadSound against the mixer's bare load of the same file, and
// halting every channel once against once per sound number.
#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/pack_source.h"
#include "sound/sound_device.h"
#include "sound/sound_effects.h"

namespace {

constexpr uint32_t kDataBytes = 1u << 20;

void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A PCM WAV of kDataBytes of 16-bit sine at `rate` with `channels` channels.
void WriteSineWav(const std::string& path, uint32_t rate, uint16_t channels) {
    std::vector<uint8_t> bytes;
    const uint32_t block = channels * 2u;
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    PutLittleEndian(bytes, 36 + kDataBytes, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    PutLittleEndian(bytes, 16, 4);
    PutLittleEndian(bytes, 1, 2);
    PutLittleEndian(bytes, channels, 2);
    PutLittleEndian(bytes, rate, 4);
    PutLittleEndian(bytes, rate * block, 4);
    PutLittleEndian(bytes, block, 2);
    PutLittleEndian(bytes, 16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    PutLittleEndian(bytes, kDataBytes, 4);
    for (uint32_t frame = 0; frame < kDataBytes / block; ++frame) {
        const auto sample = static_cast<int16_t>(16000.0 * std::sin(frame * 2.0 * M_PI * 440.0 / rate));
        for (uint16_t c = 0; c < channels; ++c) PutLittleEndian(bytes, static_cast<uint16_t>(sample), 2);
    }
    FILE* file = fopen(path.c_str(), "wb");
    if (file == nullptr) return;
    fwrite(bytes.data(), 1, bytes.size(), file);
    fclose(file);
}

// The runtime's sound state on SDL's dummy driver (unless another driver is asked for), and the files.
struct SoundBench {
    SoundBench() {
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        CreatePackSources();
        CreateSoundDevice();
        CreateSoundTable();
        char pattern[] = "/tmp/korvane-sound-bench-XXXXXX";
        if (mkdtemp(pattern) != nullptr) directory = pattern;
        device_format = directory + "/device_format.wav";
        half_rate_mono = directory + "/half_rate_mono.wav";
        WriteSineWav(device_format, 22050, 2);
        WriteSineWav(half_rate_mono, 11025, 1);
    }
    ~SoundBench() {
        remove(device_format.c_str());
        remove(half_rate_mono.c_str());
        rmdir(directory.c_str());
    }
    std::string directory, device_format, half_rate_mono;
};

SoundBench& Bench() {
    static SoundBench bench;
    return bench;
}

const std::string& FileFor(int64_t which) {
    return which == 0 ? Bench().device_format : Bench().half_rate_mono;
}

void LoadSoundFromDisk(benchmark::State& state) {
    const BasicString name(FileFor(state.range(0)).c_str());
    for (auto _ : state) {
        LoadSound(name, 1, 0);
        benchmark::DoNotOptimize(g_sound_table[1]);
    }
    if (g_sound_table[1] == nullptr) state.SkipWithError("the effect did not load");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
}
// 0: a file in the device's format (22050 Hz stereo); 1: 11025 Hz mono, converted while loading.
BENCHMARK(LoadSoundFromDisk)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Baseline: the mixer's own load and free of the same file, without the table and the file request.
void MixerLoadBaseline(benchmark::State& state) {
    const std::string& path = FileFor(state.range(0));
    Bench();
    for (auto _ : state) {
        Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
        benchmark::DoNotOptimize(chunk);
        if (chunk == nullptr) {
            state.SkipWithError("the effect did not load");
            break;
        }
        Mix_FreeChunk(chunk);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kDataBytes);
}
BENCHMARK(MixerLoadBaseline)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void PlaySoundThenStopAll(benchmark::State& state) {
    LoadSound(BasicString(Bench().device_format.c_str()), 2, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlaySound(2, 0.0f, 0.5f));
        StopAllSounds();
    }
}
BENCHMARK(PlaySoundThenStopAll);

// Baseline for StopAllSounds: the halt repeated once per usable sound number.
void HaltPerSoundNumberBaseline(benchmark::State& state) {
    LoadSound(BasicString(Bench().device_format.c_str()), 2, 0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(PlaySound(2, 0.0f, 0.5f));
        for (int32_t i = 0; i < kUsableSounds; ++i) Mix_HaltChannel(-1);
    }
}
BENCHMARK(HaltPerSoundNumberBaseline);

}  // namespace
