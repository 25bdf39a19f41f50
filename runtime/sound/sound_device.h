// The sound device and the table of loaded sound effects, and the music state that shutdown releases.
//
// Opening the device opens audio at 22050 Hz, signed 16-bit little-endian, stereo, 256-sample chunks. When
// audio cannot open, "Can't init audio" is printed and every later mixer call fails quietly.
#pragma once

#include <cstdint>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

constexpr int32_t kSoundTableSize = 2048;

struct SoundDevice {
    int32_t word = 0;
};

extern SoundDevice* g_sound_device;
extern Mix_Chunk** g_sound_table;
extern Mix_Music* g_music;
extern float g_music_volume;

// Creates the device object and opens audio.
void CreateSoundDevice();
void CreateSoundTable();
// Shutdown, in this order: the music, then (after the video and input) the table, then the device.
void ReleaseMusic();
void ReleaseSoundTable();
void ReleaseSoundDevice();
