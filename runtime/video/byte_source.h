// ByteSource: the bytes of a picture file, from disk or from a "mem://" memory file, for the readers.
//
// A memory-file name carries the block's size (base 16, from character 6) and, after a dot, its address
// (base 16). Reads are all or nothing: a read that would run past the end of the file or the block fails,
// so a truncated file is refused the same way wherever it lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

class ByteSource {
public:
    ByteSource() = default;
    ~ByteSource();
    ByteSource(const ByteSource&) = delete;
    ByteSource& operator=(const ByteSource&) = delete;

    // Opens a "mem://" name as a memory view and any other name as a file. False when it cannot be opened.
    bool Open(const char* name);
    bool Read(void* out, size_t count);
    // Bytes not yet read.
    uint64_t Remaining() const { return size_ > position_ ? size_ - position_ : 0; }

private:
    FILE* file_ = nullptr;
    const uint8_t* memory_ = nullptr;
    uint64_t size_ = 0;
    uint64_t position_ = 0;
};

