// The resource pack: a directory of compressed files at the end of a file (usually the executable itself) or
// of a block in memory.
//
// Layout, all integers 32-bit little-endian signed, "pack size" being the size of the whole file or block:
//   pack size - 7   "sbX"
//   pack size - 4   directory offset D: the directory starts at D when D >= 0, at pack size + D when D < 0
//   directory       entries of: 1 byte name length L (1..255), L name bytes, data offset O, stored size S;
//                   a name length of 0 ends the directory
//   data            at O (D >= 0) or pack size + O (D < 0): S bytes of payload (files/pack_codec.h)
//
// Every number here comes from the file and is checked before use: the reader never looks outside the pack,
// and a directory or entry that points outside it reads as damaged.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

constexpr char kPackMagic[3] = {'s', 'b', 'X'};
constexpr int kPackTrailerSize = 7;
constexpr int kPackMaxNameLength = 255;

struct PackEntry {
    char name[kPackMaxNameLength + 1] = {0};  // as stored, NUL-terminated
    int name_length = 0;
    int32_t data_offset = 0;    // O as stored
    int32_t stored_size = 0;    // S as stored
    int64_t data_position = 0;  // where the payload starts, checked to lie with its S bytes inside the pack
};

// The bytes of a pack: an open file (not owned) or a block in memory.
class PackBytes {
public:
    // False when the file's size cannot be measured.
    bool UseFile(FILE* file);
    void UseMemory(const uint8_t* data, int64_t size);

    int64_t size() const { return size_; }
    // Copies count bytes from position; false when they do not all lie inside the pack or cannot be read.
    bool ReadAt(int64_t position, void* destination, int64_t count);
    // The bytes themselves for a memory pack (null for a file), for reading payloads without a copy.
    const uint8_t* MemoryAt(int64_t position) const { return memory_ != nullptr ? memory_ + position : nullptr; }

private:
    FILE* file_ = nullptr;
    const uint8_t* memory_ = nullptr;
    int64_t size_ = 0;
    int64_t file_cursor_ = -1;  // where the file stands, so that reading on needs no seek
};

// Walks a pack's directory.
class PackDirectory {
public:
    explicit PackDirectory(PackBytes& bytes) : bytes_(bytes) {}
    // Reads the trailer. False when the pack is too small, has no "sbX", or D points outside it.
    bool Open();
    // 1 and the next entry; 0 at the end marker; -1 when the directory runs out of the pack. The entry's
    // payload is not checked here (see PayloadInsidePack), so a damaged entry does not hide the others.
    int Next(PackEntry& entry);
    bool counts_from_end() const { return counts_from_end_; }
    int64_t directory_position() const { return directory_position_; }

private:
    PackBytes& bytes_;
    bool counts_from_end_ = false;
    int64_t directory_position_ = 0;
    int64_t cursor_ = 0;
};

// True when the entry's payload holds at least its 4-byte length and lies wholly inside the pack.
bool PayloadInsidePack(const PackBytes& bytes, const PackEntry& entry);

// Reads and expands one entry's payload; false (and *block null) when it lies outside the pack or does not
// expand. On success *block (delete[]) holds *length bytes.
class PackCodec;
bool ExpandPackEntry(PackBytes& bytes, const PackEntry& entry, PackCodec& codec, uint8_t** block, uint32_t* length);
