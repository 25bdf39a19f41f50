// File requests: turning a wanted name into a name that can be opened, and the two pack readers.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

struct PackSource {
    uint8_t enabled = 1;
    char pack_name[1024] = {0};
    char temp_file[1027] = {0};
    uint8_t* memory_block = nullptr;
};

extern PackSource* g_music_pack;
extern PackSource* g_general_pack;

void CreatePackSources();
// Gives both readers the pack file's name.
void SetPackFile(const char* name);
// 1 when out_name now holds a name that can be opened, 0 (and out_name empty) when the file exists nowhere.
int RequestFile(PackSource& source, const BasicString& wanted_name, BasicString& out_name, int to_memory);
// Frees what each reader holds (memory block or temporary file) and the readers.
void ReleasePackSources();
