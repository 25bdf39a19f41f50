// Reading picture bytes from files and memory blocks.
#include "video/byte_source.h"

#include <cstdlib>
#include <cstring>

bool IsMemoryFileName(const char* name) { return name != nullptr && strncmp(name, "mem://", 6) == 0; }

ByteSource::~ByteSource() {
    if (file_ != nullptr) fclose(file_);
}

bool ByteSource::Open(const char* name) {
    if (name == nullptr || name[0] == 0) return false;
    if (IsMemoryFileName(name)) {
        char* end = nullptr;
        const unsigned long long size = strtoull(name + 6, &end, 16);
        if (end == name + 6 || *end != '.') return false;
        const char* address_text = end + 1;
        const unsigned long long address = strtoull(address_text, &end, 16);
        if (end == address_text || (address == 0 && size != 0)) return false;
        memory_ = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(address));
        size_ = size;
        position_ = 0;
        return true;
    }
    file_ = fopen(name, "rb");
    if (file_ == nullptr) return false;
    if (fseek(file_, 0, SEEK_END) != 0) return false;
    const long size = ftell(file_);
    if (size < 0 || fseek(file_, 0, SEEK_SET) != 0) return false;
    size_ = static_cast<uint64_t>(size);
    position_ = 0;
    return true;
}

bool ByteSource::Read(void* out, size_t count) {
    if (count == 0) return true;
    if (count > Remaining()) return false;
    if (file_ != nullptr) {
        if (fread(out, 1, count, file_) != count) return false;
    } else {
        memcpy(out, memory_ + position_, count);
    }
    position_ += count;
    return true;
}
