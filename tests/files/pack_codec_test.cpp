// Pack payloads: compressing and the guarded expansion.
#include <gtest/gtest.h>

#include "files/pack_codec.h"
#include "files_fixtures.h"

namespace {

std::string Expanded(PackCodec& codec, const std::string& payload, bool* ok) {
    uint8_t* block = nullptr;
    uint32_t length = 0;
    *ok = codec.Expand(reinterpret_cast<const uint8_t*>(payload.data()), static_cast<int64_t>(payload.size()), &block,
                       &length);
    if (!*ok) {
        EXPECT_EQ(block, nullptr);
        EXPECT_EQ(length, 0u);
        return "";
    }
    EXPECT_NE(block, nullptr);
    std::string bytes(reinterpret_cast<const char*>(block), length);
    delete[] block;
    return bytes;
}

TEST(PackCodecTest, CompressedPayloadsExpandToTheirBytes) {
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "line " + std::to_string(i % 97) + " of the level\n";
    const std::string cases[] = {"", "x", text, NoiseBytes(70000, 7), NoiseBytes(1 << 20, 3)};
    PackCodec codec;
    for (const std::string& data : cases) {
        const std::vector<uint8_t> payload = codec.Compress(reinterpret_cast<const uint8_t*>(data.data()),
                                                            static_cast<uint32_t>(data.size()));
        ASSERT_GE(payload.size(), 4u);
        const std::string stored(payload.begin(), payload.end());
        EXPECT_EQ(stored.substr(0, 4), Le32(static_cast<int64_t>(data.size())));
        // The stream is plain LZO1X-1, the same as the library's own.
        EXPECT_EQ(stored.substr(4), LzoStream(data));
        bool ok = false;
        EXPECT_EQ(Expanded(codec, stored, &ok), data);
        EXPECT_TRUE(ok) << data.size();
    }
}

TEST(PackCodecTest, HostilePayloadsAreRefused) {
    const std::string data = "the quick brown fox jumps over the lazy dog, the quick brown fox again";
    const std::string stream = LzoStream(data);
    const int64_t n = static_cast<int64_t>(data.size());
    struct Case {
        const char* what;
        std::string payload;
    };
    const Case cases[] = {
        {"no room for the length", std::string("\x05\0\0", 3)},
        {"negative length", Le32(-1) + stream},
        {"length above 256 MiB", Le32(kPackMaxExpandedSize + 1) + stream},
        {"length larger than the stream gives", Le32(n + 1) + stream},
        {"length smaller than the stream gives", Le32(n - 1) + stream},
        {"stream cut short", Le32(n) + stream.substr(0, stream.size() / 2)},
        {"bytes after the stream", Le32(n) + stream + "junk"},
        {"garbage stream", Le32(n) + std::string(40, '\xff')},
        {"empty stream", Le32(0)},
    };
    PackCodec codec;
    for (const Case& c : cases) {
        bool ok = true;
        Expanded(codec, c.payload, &ok);
        EXPECT_FALSE(ok) << c.what;
    }
}

}  // namespace
