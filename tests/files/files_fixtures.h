// Shared pieces of the file-layer tests: capturing standard output, working in a scratch folder, and packs
// laid out byte by byte here (independently of the pack builder) so that the reader is checked against the
// layout itself.
#pragma once

#include <lzo/lzo1x.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/process_runner.h"
#include "support/scratch.h"

inline std::string Le32(int64_t value) {
    const uint32_t bits = static_cast<uint32_t>(value);
    return std::string{static_cast<char>(bits), static_cast<char>(bits >> 8), static_cast<char>(bits >> 16),
                       static_cast<char>(bits >> 24)};
}

// The raw LZO1X-1 stream of data.
inline std::string LzoStream(const std::string& data) {
    static const bool ready = lzo_init() == LZO_E_OK;
    (void)ready;
    std::vector<uint8_t> work(LZO1X_1_MEM_COMPRESS);
    std::vector<uint8_t> out(data.size() + data.size() / 16 + 64 + 3);
    lzo_uint written = 0;
    lzo1x_1_compress(reinterpret_cast<const uint8_t*>(data.data()), data.size(), out.data(), &written, work.data());
    return std::string(reinterpret_cast<const char*>(out.data()), written);
}

// A payload: expanded length, then the stream.
inline std::string Payload(const std::string& data) { return Le32(static_cast<int64_t>(data.size())) + LzoStream(data); }

inline std::string DirectoryEntry(const std::string& name, int64_t offset, int64_t stored_size) {
    return std::string(1, static_cast<char>(name.size())) + name + Le32(offset) + Le32(stored_size);
}

inline std::string Trailer(int64_t directory_offset) { return "sbX" + Le32(directory_offset); }

// front, then each file's payload, the directory, its end marker and the trailer; offsets counted back from
// the end when from_end.
inline std::string MakePack(const std::string& front, const std::vector<std::pair<std::string, std::string>>& files,
                            bool from_end) {
    std::string data;
    std::vector<int64_t> positions, sizes;
    for (const auto& file : files) {
        const std::string payload = Payload(file.second);
        positions.push_back(static_cast<int64_t>(front.size() + data.size()));
        sizes.push_back(static_cast<int64_t>(payload.size()));
        data += payload;
    }
    const int64_t directory_position = static_cast<int64_t>(front.size() + data.size());
    int64_t directory_size = 1;
    for (const auto& file : files) directory_size += 1 + static_cast<int64_t>(file.first.size()) + 8;
    const int64_t total = directory_position + directory_size + 7;
    const int64_t shift = from_end ? -total : 0;
    std::string directory;
    for (size_t i = 0; i < files.size(); ++i) directory += DirectoryEntry(files[i].first, positions[i] + shift, sizes[i]);
    directory += std::string(1, '\0');
    return front + data + directory + Trailer(directory_position + shift);
}

// Deterministic bytes that compress poorly.
inline std::string NoiseBytes(size_t count, uint32_t seed) {
    std::string bytes(count, '\0');
    for (size_t i = 0; i < count; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes[i] = static_cast<char>(seed >> 24);
    }
    return bytes;
}

inline int32_t ReadLittleEndianForTest(const std::string& bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint8_t>(bytes[0])) |
                                static_cast<uint32_t>(static_cast<uint8_t>(bytes[1])) << 8 |
                                static_cast<uint32_t>(static_cast<uint8_t>(bytes[2])) << 16 |
                                static_cast<uint32_t>(static_cast<uint8_t>(bytes[3])) << 24);
}
