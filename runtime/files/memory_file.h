// Memory files: bytes in memory addressed by a name, so that loaders can take them where a file name goes.
//
// The name is "mem://" followed by the size and the address of the first byte, each printed with "%8x"
// (hexadecimal, at least 8 columns, blank-padded) and joined by '.'. Readers take the size from character 6
// and the address from character 15 with base-16 conversion. On a 64-bit host the address simply prints
// with as many digits as it needs; the size (never above 0xffffffff) always fits its 8 columns, so the
// address still starts at character 15.
//
// A memory file owns nothing: the bytes belong to whoever made the name (for files taken from the resource
// pack, the pack reader, which keeps them until its next request).
#pragma once

#include <cstdint>

#include "text/basic_string.h"

struct MemoryFile {
    const uint8_t* data = nullptr;
    int32_t size = 0;
};

constexpr char kMemoryFilePrefix[] = "mem://";
constexpr int kMemoryFilePrefixLength = 6;

// True when name begins with "mem://".
bool IsMemoryFileName(const char* name);
// "mem://%8x.%8x" with size and address.
BasicString MemoryFileName(const void* data, uint32_t size);
// Reads size and address back from a memory file name. False when name is not one, is too short to hold
// both numbers, or its size does not fit a signed 32-bit count.
bool ParseMemoryFileName(const char* name, MemoryFile& out);
