// Fuzzes the pack reader: the input is the tail of a program, read as a pack held in memory, in which a few
// names are looked up through RequestFile. Whatever the bytes, a request must either fail or give a memory
// file of the expanded length, without reading or writing outside the blocks involved.
#include <cstdint>
#include <cstring>
#include <memory>

#include "files/memory_file.h"
#include "files/pack_source.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    // A block of exactly the input's size, so that any read past the pack is caught.
    std::unique_ptr<uint8_t[]> pack(new uint8_t[size > 0 ? size : 1]);
    if (size > 0) memcpy(pack.get(), data, size);
    CreatePackSources();
    SetPackFile(MemoryFileName(pack.get(), static_cast<uint32_t>(size)).c_str());
    static const char* const kNames[] = {"a", "level1.txt", "dir/Boom.WAV", "white_background.bmp"};
    for (const char* name : kNames) {
        BasicString out;
        if (RequestFile(*g_general_pack, BasicString(name), out, 1) == 1) {
            MemoryFile file;
            if (!ParseMemoryFileName(out.c_str(), file) || file.data != g_general_pack->memory_block) __builtin_trap();
            // Touch every expanded byte so that a short block shows.
            volatile uint8_t sum = 0;
            for (int32_t i = 0; i < file.size; ++i) sum += file.data[i];
        }
    }
    ReleasePackSources();
    return 0;
}
