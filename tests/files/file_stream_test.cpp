// Streams over disk files and memory files, read line by line.
#include <gtest/gtest.h>

#include "files/file_stream.h"
#include "files/memory_file.h"
#include "files_fixtures.h"

namespace {

struct LineCase {
    std::string bytes;
    int32_t limit;
    std::vector<std::string> lines;
};

std::vector<LineCase> LineCases() {
    const std::string long_line(150, 'q');
    return {
        {"ab\r\n\ncd", 100, {"ab", "", "cd"}},
        {"x\n", 100, {"x"}},
        {"", 100, {}},
        {"\r\n", 100, {""}},
        {"a\r\r\n", 100, {"a\r"}},  // only the one '\r' at the end goes
        {"abcdefghij\n", 4, {"abcd", "efgh", "ij"}},
        {"abcd\nef", 4, {"abcd", "", "ef"}},  // a full piece leaves its '\n' for the next read
        {long_line + "\nx", 200, {long_line, "x"}},  // a line over several 64-byte blocks
        {long_line + "\n", 70, {long_line.substr(0, 70), long_line.substr(70, 70), long_line.substr(140)}},
    };
}

class ReadStreamLineTest : public ::testing::TestWithParam<bool> {
protected:
    // Opens the bytes as a file (false) or as a memory file (true).
    void Open(FileStream& stream, const std::string& bytes) {
        if (GetParam()) {
            memory_ = bytes;
            ASSERT_EQ(OpenStream(stream, MemoryFileName(memory_.data(), static_cast<uint32_t>(memory_.size())).c_str()), 1);
        } else {
            WriteWholeFile("lines.txt", bytes);
            ASSERT_EQ(OpenStream(stream, "lines.txt"), 1);
        }
        EXPECT_EQ(stream.size, static_cast<int32_t>(bytes.size()));
        EXPECT_EQ(stream.position, 0);
    }
    ScratchFolder scratch_;
    std::string memory_;
};

TEST_P(ReadStreamLineTest, SplitsLinesAndPiecesAlike) {
    for (const LineCase& c : LineCases()) {
        SCOPED_TRACE("bytes \"" + c.bytes + "\" limit " + std::to_string(c.limit));
        FileStream stream;
        Open(stream, c.bytes);
        std::vector<char> destination(static_cast<size_t>(c.limit) + 1, 'z');
        for (const std::string& expected : c.lines) {
            ASSERT_EQ(ReadStreamLine(stream, destination.data(), c.limit), 1);
            EXPECT_EQ(std::string(destination.data()), expected);
            // A file stands exactly where the stream says it does, after giving back what it read past.
            if (stream.file != nullptr) {
                EXPECT_EQ(ftell(stream.file), stream.position);
            }
        }
        EXPECT_EQ(ReadStreamLine(stream, destination.data(), c.limit), 0);
        EXPECT_EQ(stream.position, static_cast<int32_t>(c.bytes.size()));
        CloseStream(stream);
        EXPECT_EQ(stream.file, nullptr);
        EXPECT_EQ(stream.buffer, nullptr);
        EXPECT_EQ(stream.size, 0);
        EXPECT_EQ(stream.position, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(FileAndMemory, ReadStreamLineTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Memory" : "File"; });

TEST(FileStreamTest, OpeningAgainClosesWhatWasOpenAndMissingFilesFail) {
    ScratchFolder scratch;
    WriteWholeFile("Level.TXT", "first\nsecond\n");
    FileStream stream;
    ASSERT_EQ(OpenStream(stream, "level.txt"), 1);  // found by its other case
    char line[32];
    ASSERT_EQ(ReadStreamLine(stream, line, 31), 1);
    EXPECT_STREQ(line, "first");

    const std::string bytes = "memory line";
    ASSERT_EQ(OpenStream(stream, MemoryFileName(bytes.data(), static_cast<uint32_t>(bytes.size())).c_str()), 1);
    EXPECT_EQ(stream.file, nullptr);
    ASSERT_EQ(ReadStreamLine(stream, line, 31), 1);
    EXPECT_STREQ(line, "memory line");

    StdoutCapture capture;
    EXPECT_EQ(OpenStream(stream, "absent.txt"), 0);
    EXPECT_EQ(capture.Finish(), "request: fopen(\"absent.txt\", \"rb\") failed\n");
    EXPECT_EQ(stream.buffer, nullptr);
    EXPECT_EQ(stream.size, 0);
    EXPECT_EQ(ReadStreamLine(stream, line, 31), 0);
}

TEST(FileStreamTest, ALimitBelowOneReadsAsTheEnd) {
    const std::string bytes = "abc\n";
    FileStream stream;
    ASSERT_EQ(OpenStream(stream, MemoryFileName(bytes.data(), 4).c_str()), 1);
    char line[1] = {'z'};
    EXPECT_EQ(ReadStreamLine(stream, line, 0), 0);
    EXPECT_EQ(line[0], 0);
    EXPECT_EQ(stream.position, 0);
}

}  // namespace
