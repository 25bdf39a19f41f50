// A program that, after the runtime's start-up, asks the general pack reader for the file named in
// FILES_PROBE_NAME (to memory unless FILES_PROBE_TO_MEMORY is 0) and prints what it got: the name, then the
// number of bytes it addresses and their FNV-1a checksum. Tests append packs to copies of it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "files/memory_file.h"
#include "files/pack_source.h"
#include "frame/program.h"

namespace {

uint32_t Checksum(const uint8_t* bytes, size_t count) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < count; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}

}  // namespace

void ApplicationMain() {
    const char* wanted = getenv("FILES_PROBE_NAME");
    const char* to_memory = getenv("FILES_PROBE_TO_MEMORY");
    BasicString name;
    const int found = RequestFile(*g_general_pack, BasicString(wanted != nullptr ? wanted : ""), name,
                                  to_memory != nullptr ? atoi(to_memory) : 1);
    printf("probe found %d\n", found);
    printf("probe name %s\n", name.c_str());
    if (found) {
        MemoryFile memory;
        std::vector<uint8_t> bytes;
        if (ParseMemoryFileName(name.c_str(), memory)) {
            bytes.assign(memory.data, memory.data + memory.size);
        } else if (FILE* file = fopen(name.c_str(), "rb")) {
            int c;
            while ((c = fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
            fclose(file);
        }
        printf("probe bytes %zu %08x\n", bytes.size(), Checksum(bytes.data(), bytes.size()));
    }
    fflush(stdout);
    EndProgram();
}
