// File requests: turning a wanted name into a name that can be opened, and the two pack readers.
//
// Every loader asks RequestFile first. The answer is, in this order of preference:
//   - the wanted name itself, when it begins with "mem://" or exists on disk (exactly or with its last
//     component in another letter case; the loader's opener, OpenRequestedFile or OpenStream, corrects the
//     case again);
//   - for a file found in the resource pack (files/resource_pack.h) by its base name, ignoring case:
//       to_memory = 1: a "mem://" name (files/memory_file.h) of the expanded bytes, held by the reader;
//       to_memory = 0: the path of a temporary file the bytes were written to, for sound and music, which
//       need a real file. It is TemporaryFolder() + "sbx" + two letters + the entry's name.
// What a reader hands out lives until the next request through the same reader (or SetPackFile, or
// shutdown), so a loader reads it before it requests anything else. Music has its own reader so that a music
// file taken from the pack stays on disk while everything else is loaded.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

struct PackSource {
    uint8_t enabled = 1;             // 0 once the pack could not be opened or has no name
    char pack_name[1024] = {0};      // path of the pack file, or a "mem://" name of a pack in memory
    char temp_file[1027] = {0};      // temporary file of the last extraction; empty when none
    uint8_t* memory_block = nullptr;  // bytes of the last file extracted into memory; owned (delete[])
};

// The music pack reader (music playback only) and the general pack reader (every other loader). Created by
// start-up, freed by shutdown; null outside that span.
extern PackSource* g_music_pack;
extern PackSource* g_general_pack;

void CreatePackSources();
// Gives both readers the pack's name (usually the executable's own path) after releasing what they hold, and
// enables them again. A name too long for pack_name counts as no name.
void SetPackFile(const char* name);
// 1 when out_name now holds a name that can be opened, 0 (and out_name empty) when the file exists nowhere.
// out_name is at most 1023 bytes long.
int RequestFile(PackSource& source, const BasicString& wanted_name, BasicString& out_name, int to_memory);
// Frees what each reader holds (memory block, or else its temporary file) and the readers. Safe to repeat.
void ReleasePackSources();

// The folder of extracted temporary files, ending in '/': "/mnt/sd/" when that is a writable folder, else
// $TMPDIR when set and not empty, else "/tmp".
BasicString TemporaryFolder();
// The same choice with the card folder and the TMPDIR value given (tmpdir may be null).
BasicString ChooseTemporaryFolder(const char* card_folder, const char* tmpdir);
// folder + "sbx" + 'A' + (low byte of data_offset) mod 26 + 'A' + (low byte of stored_size) mod 26 + name.
// The low bytes are taken as unsigned, so offsets counted from the end still give capital letters.
BasicString TemporaryFileName(const char* folder, int32_t data_offset, int32_t stored_size, const char* entry_name);
