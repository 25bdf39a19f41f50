// Pack readers and file requests.
#include "files/pack_source.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

PackSource* g_music_pack = nullptr;
PackSource* g_general_pack = nullptr;

namespace {

void ReleaseHeld(PackSource& source) {
    if (source.memory_block != nullptr) {
        delete[] source.memory_block;
        source.memory_block = nullptr;
    } else if (source.temp_file[0] != 0) {
        remove(source.temp_file);
    }
    source.temp_file[0] = 0;
}

}  // namespace

void CreatePackSources() {
    if (g_music_pack == nullptr) g_music_pack = new PackSource();
    if (g_general_pack == nullptr) g_general_pack = new PackSource();
}

void SetPackFile(const char* name) {
    for (PackSource* source : {g_music_pack, g_general_pack}) {
        if (source == nullptr) continue;
        ReleaseHeld(*source);
        source->enabled = 1;
        snprintf(source->pack_name, sizeof(source->pack_name), "%s", name);
    }
}

int RequestFile(PackSource& source, const BasicString& wanted_name, BasicString& out_name, int to_memory) {
    (void)to_memory;
    ReleaseHeld(source);
    out_name.Clear();
    if (wanted_name.empty()) return 0;
    // NOTE: only names present on disk under their exact name resolve here; case-corrected names and the
    // appended pack come with the full file layer.
    FILE* file = fopen(wanted_name.c_str(), "rb");
    if (file == nullptr) {
        printf("request: fopen(\"%s\", \"%s\") failed\n", wanted_name.c_str(), "rb");
        return 0;
    }
    fclose(file);
    out_name = wanted_name;
    return 1;
}

void ReleasePackSources() {
    for (PackSource** source : {&g_music_pack, &g_general_pack}) {
        if (*source == nullptr) continue;
        ReleaseHeld(**source);
        delete *source;
        *source = nullptr;
    }
}
