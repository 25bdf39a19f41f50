// Sound effects over the sound table and the mixer's channels.
#include "sound/sound_effects.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include "files/pack_source.h"
#include "sound/sound_device.h"

namespace {

constexpr uint32_t kPathBufferSize = 1024;
constexpr int32_t kHandleChannelMask = 0xFF;
constexpr int32_t kHandleNumberFactor = 256;

// The entry a command addresses, or null when there is none: a negative number (outside the table; those
// are refused rather than read) or no table (before start-up, after shutdown, as when a global object's
// destructor plays a sound).
Mix_Chunk** SoundEntry(int32_t number) {
    if (number < 0 || g_sound_table == nullptr) return nullptr;
    if (number > kHighestSoundNumber) number = kHighestSoundNumber;
    return &g_sound_table[number];
}

// The play level 0..100 of a volume: hundredths of full volume, cut (not rounded) in double precision, so
// that 0.7f, which is slightly below 0.7, gives 69. A NaN, which has no level, is silence.
int32_t PlayLevel(float volume) {
    const double level = static_cast<double>(volume) * 100.0;
    if (level >= 100.0) return 100;
    if (level > 0.0) return static_cast<int32_t>(level);
    return 0;
}

}  // namespace

void LoadSound(const BasicString& name, int32_t number, int32_t count) {
    (void)count;
    Mix_Chunk** entry = SoundEntry(number);
    if (entry == nullptr || g_general_pack == nullptr) return;
    BasicString path(name);
    path.Reserve(kPathBufferSize);
    // An unresolved name leaves the path empty, and the load below then fails like any unreadable file.
    RequestFile(*g_general_pack, name, path, 0);
    if (*entry != nullptr) {
        Mix_FreeChunk(*entry);
        *entry = nullptr;
    }
    *entry = Mix_LoadWAV_RW(SDL_RWFromFile(path.c_str(), "rb"), 1);
}

int32_t PlaySound(int32_t number, float pan, float volume) {
    // The pan is limited as it always was, but the mixer is never asked to pan, so it changes nothing.
    if (pan >= 1.0f) pan = 1.0f;
    if (pan < -1.0f) pan = -1.0f;
    (void)pan;
    const int32_t level = PlayLevel(volume);
    Mix_Chunk** entry = SoundEntry(number);
    if (entry == nullptr || *entry == nullptr) return -1;
    if (number > kHighestSoundNumber) number = kHighestSoundNumber;
    Mix_VolumeChunk(*entry, level * MIX_MAX_VOLUME / 100);
    const int channel = Mix_PlayChannelTimed(-1, *entry, 0, -1);
    if (channel < 0) return channel;
    return channel + number * kHandleNumberFactor;
}

int32_t SoundPlaying(int32_t handle) {
    // Once the device is closed the mixer has no channels left to ask about (it would read freed memory).
    if (handle < 0 || g_sound_device == nullptr) return 0;
    return Mix_Playing(handle & kHandleChannelMask) != 0 ? 1 : 0;
}

void StopAllSounds() {
    if (g_sound_device == nullptr) return;
    // Halting every channel once has the whole effect; halting once per sound number would change nothing
    // but cost 128 audio locks on a slow CPU.
    Mix_HaltChannel(-1);
}
