// Building resource packs: the entries' payloads, the directory and the trailer, in the layout the runtime's
// pack reader reads (files/resource_pack.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PackInput {
    std::string name;           // the entry name, as stored
    std::vector<uint8_t> data;  // the file's bytes
};

enum class DirectoryForm {
    kFromEnd,    // negative offsets counted back from the end: the pack reads the same wherever it is appended
    kFromStart,  // offsets from the start of the whole file
};

// Why a name cannot be an entry name, or empty when it can: 1..255 bytes.
std::string CheckEntryName(const std::string& name);

// Appends the pack of the inputs to out, which already holds base (the bytes in front of the pack). For each
// input, report(name, expanded size, stored size) is called. False (with a message) when a payload cannot be
// made or the file would not fit the 32-bit offsets.
struct BuiltEntry {
    std::string name;
    int32_t expanded_size;
    int32_t stored_size;
};
bool BuildPack(std::vector<uint8_t>& out, const std::vector<PackInput>& inputs, DirectoryForm form,
               std::vector<BuiltEntry>& built, std::string& message);
