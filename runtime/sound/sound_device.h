// The sound device, the table of loaded sound effects and the music state: what start-up creates and what
// shutdown releases.
//
// Creating the device opens audio at 22050 Hz, signed 16-bit little-endian, stereo, 256-sample chunks, with
// every channel at full volume and music at half volume. When audio cannot open, "Can't init audio" is
// printed and the program runs on silently: the mixer then refuses every later call on its own (loads fail,
// nothing plays). Only once shutdown has closed the device do the commands stop calling the mixer, which
// would then read its freed channels.
#pragma once

#include <cstdint>

struct Mix_Chunk;
typedef struct _Mix_Music Mix_Music;

// Entries in the sound table. Only the first kUsableSounds are ever addressed by the commands; the rest exist
// because the table has always had this size.
constexpr int32_t kSoundTableSize = 2048;
constexpr int32_t kUsableSounds = 128;
constexpr int32_t kHighestSoundNumber = kUsableSounds - 1;

// The mixer's output format.
constexpr int kAudioRate = 22050;
constexpr uint16_t kAudioFormat = 0x8010;  // AUDIO_S16LSB
constexpr int kAudioChannels = 2;
constexpr int kAudioChunkSamples = 256;

// A single word, 0 after creation. The object marks that start-up has opened (or tried to open) audio, so
// that shutdown closes it once.
struct SoundDevice {
    int32_t word = 0;
};

extern SoundDevice* g_sound_device;
// kSoundTableSize entries, each a loaded sound or null; null itself before start-up and after shutdown.
extern Mix_Chunk** g_sound_table;
// The loaded music, null when none.
extern Mix_Music* g_music;
// The music volume last set (1.0 is full), -1.0 while unset.
extern float g_music_volume;

// Creates the device object and opens audio.
void CreateSoundDevice();
// Creates the table with every entry empty.
void CreateSoundTable();
// Shutdown, in this order: the music, then (after the video and input) the table, then the device. Each is
// safe to call again, or without its object.
void ReleaseMusic();
void ReleaseSoundTable();
void ReleaseSoundDevice();
