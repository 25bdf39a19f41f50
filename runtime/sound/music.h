// Music: one piece at a time, streamed by the mixer from a file, once or looping, with its volume.
//
// PLAYMUSIC keeps the upper-case name that its message prints. A piece that cannot be loaded prints
// "PLAYMUSIC:" and then SDL's error text, each on its own line. After PLAYMUSIC the music plays at full
// volume, and MusicVolume calls the mixer only when the volume really changes.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

// Stops and frees the current music, then loads `name` and plays it: for ever when `loop` is non-zero, else
// once. The name is resolved through the music pack reader, so a piece extracted from the appended pack stays
// on disk while other files are requested. A name found nowhere is ignored without a message.
void PLAYMUSIC(const BasicString& name, int32_t loop);

// Sets the music volume, 1.0 full (the mixer takes the integer part of volume x 128, at most 128; a part of
// -1 or less leaves the mixer's volume as it is). Nothing happens when the volume equals the one last set.
void MusicVolume(float volume);

// 1 while music plays, else 0.
int32_t MusicPlaying();

// Stops and frees the current music.
void StopMusic();

// The name under which `requested` can be opened for reading: itself when it opens, else the entry of its
// directory whose name equals its last component without regard to case (the first in directory order).
// False when there is none.
bool FindMusicFile(const char* requested, BasicString& found);
