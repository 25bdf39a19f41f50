// Sound device lifetime: opening and closing audio, the sound table, and the release of the music.
#include "sound/sound_device.h"

#include <SDL_mixer.h>

#include <cstdio>

static_assert(kAudioFormat == AUDIO_S16LSB, "the mixer runs on signed 16-bit little-endian samples");

SoundDevice* g_sound_device = nullptr;
Mix_Chunk** g_sound_table = nullptr;
Mix_Music* g_music = nullptr;
float g_music_volume = -1.0f;

void CreateSoundDevice() {
    if (g_sound_device != nullptr) return;
    g_sound_device = new SoundDevice();
    if (Mix_OpenAudio(kAudioRate, kAudioFormat, kAudioChannels, kAudioChunkSamples) < 0) {
        puts("Can't init audio");
        return;
    }
    Mix_Volume(-1, MIX_MAX_VOLUME);
    Mix_VolumeMusic(MIX_MAX_VOLUME / 2);
}

void CreateSoundTable() {
    if (g_sound_table == nullptr) g_sound_table = new Mix_Chunk*[kSoundTableSize]();
}

void ReleaseMusic() {
    g_music_volume = -1.0f;
    if (g_music != nullptr) {
        Mix_FreeMusic(g_music);
        g_music = nullptr;
    }
}

void ReleaseSoundTable() {
    if (g_sound_table == nullptr) return;
    for (int32_t i = kSoundTableSize - 1; i >= 0; --i) {
        if (g_sound_table[i] != nullptr) Mix_FreeChunk(g_sound_table[i]);
        g_sound_table[i] = nullptr;
    }
    delete[] g_sound_table;
    g_sound_table = nullptr;
}

void ReleaseSoundDevice() {
    if (g_sound_device == nullptr) return;
    Mix_CloseAudio();
    delete g_sound_device;
    g_sound_device = nullptr;
}
