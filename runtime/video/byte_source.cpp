// Reading picture bytes from files and memory blocks.
#include "video/byte_source.h"

#include <cstring>

#include "files/memory_file.h"

ByteSource::~ByteSource() {
    if (file_ != nullptr) fclose(file_);
}

bool ByteSource::Open(const char* name) {
    if (name == nullptr || name[0] == 0) return false;
    if (IsMemoryFileName(name)) {
        MemoryFile view;
        if (!ParseMemoryFileName(name, view) || (view.data == nullptr && view.size != 0)) return false;
        memory_ = view.data;
        size_ = static_cast<uint64_t>(view.size);
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
