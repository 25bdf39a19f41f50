// Building and reading memory file names.
#include "files/memory_file.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
// The address starts after "mem://", eight columns of size and the '.'.
constexpr size_t kAddressColumn = 15;
}  // namespace

bool IsMemoryFileName(const char* name) {
    return name != nullptr && strncmp(name, kMemoryFilePrefix, kMemoryFilePrefixLength) == 0;
}

BasicString MemoryFileName(const void* data, uint32_t size) {
    char text[64];
    snprintf(text, sizeof(text), "mem://%8" PRIx32 ".%8" PRIxPTR, size, reinterpret_cast<uintptr_t>(data));
    return BasicString(text);
}

bool ParseMemoryFileName(const char* name, MemoryFile& out) {
    if (!IsMemoryFileName(name)) return false;
    // The address column must lie inside the text before anything is read from it.
    if (strnlen(name, kAddressColumn + 1) <= kAddressColumn) return false;
    const unsigned long long size = strtoull(name + kMemoryFilePrefixLength, nullptr, 16);
    const unsigned long long address = strtoull(name + kAddressColumn, nullptr, 16);
    if (size > static_cast<unsigned long long>(INT32_MAX)) return false;
    out.data = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(address));
    out.size = static_cast<int32_t>(size);
    return true;
}
