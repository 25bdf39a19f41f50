// Sound effects: loading them into the numbered sound table, playing them on the mixer's channels, asking
// whether a play is still sounding, and stopping them all.
//
// Sound numbers run from 0 to 127; a higher number means 127. A negative number names no entry: it loads
// nothing and plays nothing (handle -1). Playing returns a sound handle, number x 256 + mixer channel, or a
// negative value when nothing could be played; SoundPlaying takes the channel back out of the handle.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

// Loads the file into sound entry `number`, replacing what the entry held. The name is resolved by the file
// layer (exact name, case-corrected name, or a file extracted from the appended pack). A file that cannot be
// found or read leaves the entry empty; nothing is printed. `count` is accepted and has no effect.
void LoadSound(const BasicString& name, int32_t number, int32_t count);

// Plays entry `number` once on the first free channel, at `volume` (1.0 full, limited to 0..1, in steps of
// 1/100). `pan` is accepted, limited to -1..1, and has no audible effect. Returns the sound handle, -1 when
// the entry is empty, or the mixer's negative result when no channel is free.
int32_t PlaySound(int32_t number, float pan, float volume);

// 1 while the channel of `handle` is playing, else 0 (always 0 for a negative handle).
int32_t SoundPlaying(int32_t handle);

// Halts every channel.
void StopAllSounds();
