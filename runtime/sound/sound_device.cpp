// Sound device lifetime.
#include "sound/sound_device.h"

#include <SDL_mixer.h>

#include <cstdio>

SoundDevice* g_sound_device = nullptr;
Mix_Chunk** g_sound_table = nullptr;
Mix_Music* g_music = nullptr;
float g_music_volume = -1.0f;

void CreateSoundDevice() {
    g_sound_device = new SoundDevice();
    if (Mix_OpenAudio(22050, AUDIO_S16LSB, 2, 256) < 0) {
        puts("Can't init audio");
        return;
    }
    Mix_Volume(-1, 128);
    Mix_VolumeMusic(64);
}

void CreateSoundTable() { g_sound_table = new Mix_Chunk*[kSoundTableSize](); }

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
