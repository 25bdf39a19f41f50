// PackCodec: the payload format of resource-pack entries.
//
// A payload is a 4-byte little-endian expanded length N followed by an LZO1X stream that expands to exactly
// N bytes. Expanding treats the payload as hostile: N must lie in 0..kPackMaxExpandedSize, the stream is run
// through LZO's bounds-checked decompressor with N as the output capacity, and it must produce exactly N
// bytes from exactly the bytes given. Compressing (LZO1X-1) is what the pack builder uses.
#pragma once

#include <cstdint>
#include <vector>

// Expanded lengths above this are refused without allocating (256 MiB).
constexpr int64_t kPackMaxExpandedSize = int64_t{256} << 20;

class PackCodec {
public:
    PackCodec();
    ~PackCodec();
    PackCodec(const PackCodec&) = delete;
    PackCodec& operator=(const PackCodec&) = delete;

    // Expands stored_size payload bytes. On success *block is a new[]-allocated block of *length bytes (at
    // least one byte is allocated, so an empty file still has an address) owned by the caller (delete[]).
    // On any fault returns false with *block null; nothing is kept.
    bool Expand(const uint8_t* stored, int64_t stored_size, uint8_t** block, uint32_t* length);

    // The payload for length bytes of data: the 4-byte length, then the LZO1X-1 stream.
    std::vector<uint8_t> Compress(const uint8_t* data, uint32_t length);

private:
    std::vector<uint8_t> work_memory_;  // LZO1X-1's dictionary, made on the first compression
};

// Reads a 32-bit little-endian signed integer.
inline int32_t ReadLittleEndian32(const uint8_t* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}
inline void WriteLittleEndian32(uint8_t* bytes, int32_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    bytes[0] = static_cast<uint8_t>(bits);
    bytes[1] = static_cast<uint8_t>(bits >> 8);
    bytes[2] = static_cast<uint8_t>(bits >> 16);
    bytes[3] = static_cast<uint8_t>(bits >> 24);
}
