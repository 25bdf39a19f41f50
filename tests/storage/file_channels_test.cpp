// File channels: the bytes each write command produces, reads from files and from memory views, lines and
// texts over awkward data, seeking, and the runtime errors of misuse.
#include "files/file_channels.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "files/memory_file.h"
#include "files/pack_source.h"
#include "storage/storage_fixtures.h"
#include "text/values_runtime_error.h"

namespace {

class FileChannels : public StorageFolderTest {
protected:
    ~FileChannels() override { CloseAllChannels(); }

    // Opens channel 0 for reading over bytes held either in a disk file or in a memory view.
    void OpenReading(const std::string& bytes, bool from_memory) {
        memory_ = bytes;
        if (from_memory) {
            const BasicString name = MemoryFileName(memory_.data(), static_cast<uint32_t>(memory_.size()));
            ASSERT_EQ(OpenFileChannel(0, name, 1), 1);
            ASSERT_NE(FileChannelStream(0)->buffer, nullptr);
        } else {
            WriteWholeFile(File("data.bin"), bytes);
            ASSERT_EQ(OpenFileChannel(0, "data.bin", 1), 1);
            ASSERT_NE(FileChannelStream(0)->file, nullptr);
        }
    }

    std::string memory_;
};

struct WriteCase {
    const char* what;
    std::function<void()> write;
    std::string bytes;
};

TEST_F(FileChannels, EachWriteCommandLaysOutItsBytesLittleEndian) {
    const WriteCase cases[] = {
        {"byte keeps the low 8 bits", [] { WriteByte(0, 300); }, Bytes({0x2C})},
        {"word keeps the low 16 bits", [] { WriteWord(0, 70000); }, Bytes({0x70, 0x11})},
        {"negative word", [] { WriteWord(0, -2); }, Bytes({0xFE, 0xFF})},
        {"long", [] { WriteLong(0, 0x12345678); }, Bytes({0x78, 0x56, 0x34, 0x12})},
        {"negative long", [] { WriteLong(0, -2); }, Bytes({0xFE, 0xFF, 0xFF, 0xFF})},
        {"single", [] { WriteSingle(0, 1.0f); }, Bytes({0x00, 0x00, 0x80, 0x3F})},
        {"double widened", [] { WriteDouble(0, 1.5f); }, Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F})},
        {"text without terminator", [] { WriteText(0, "ab"); }, "ab"},
        {"empty text writes nothing", [] { WriteText(0, ""); }, ""},
        {"line", [] { WriteLine(0, BasicString("ab")); }, "ab\r\n"},
        {"long line", [] { WriteLine(0, BasicString(std::string(300, 'x').c_str())); }, std::string(300, 'x') + "\r\n"},
        {"integer line", [] { WriteLine(0, int32_t{-42}); }, "-42\r\n"},
        {"single line", [] { WriteLine(0, 0.25f); }, ".25\r\n"},
    };
    for (const WriteCase& c : cases) {
        ASSERT_EQ(OpenFileChannel(0, "out.bin", 0), 1) << c.what;
        c.write();
        CloseFileChannel(0);
        EXPECT_EQ(ReadWholeFile(File("out.bin")), c.bytes) << c.what;
    }
}

TEST_F(FileChannels, WritingReplacesAppendingExtendsAndMemoryNamesAreRefused) {
    WriteWholeFile(File("save.dat"), "old contents");
    ASSERT_EQ(OpenFileChannel(1, "save.dat", 0), 1);
    WriteText(1, "new");
    CloseFileChannel(1);
    EXPECT_EQ(ReadWholeFile(File("save.dat")), "new");

    // Appending finds the file whatever its letter case.
    ASSERT_EQ(OpenFileChannel(1, "SAVE.DAT", -1), 1);
    WriteText(1, "er");
    CloseFileChannel(1);
    EXPECT_EQ(ReadWholeFile(File("save.dat")), "newer");

    const std::string bytes = "abc";
    const BasicString memory = MemoryFileName(bytes.data(), 3);
    EXPECT_EQ(OpenFileChannel(2, memory, 0), 0);
    EXPECT_EQ(OpenFileChannel(2, memory, -1), 0);
}

TEST_F(FileChannels, OpeningFailuresAreReportedAndLeaveTheChannelClosed) {
    OutputCapture output;
    EXPECT_EQ(OpenFileChannel(3, "missing.bin", 1), 0);
    EXPECT_EQ(OpenFileChannel(4, "no_folder/out.bin", 0), 0);
    EXPECT_EQ(output.Finish(),
              "request: fopen(\"missing.bin\", \"rb\") failed\n"
              "wrt-request: fopen(\"no_folder/out.bin\", \"wb\") failed\n\n"
              "can't write to file: no_folder/out.bin\n");
    EXPECT_EQ(FileChannelStream(3)->file, nullptr);
    EXPECT_EQ(FileChannelStream(4)->file, nullptr);
}

class ChannelReads : public FileChannels, public ::testing::WithParamInterface<bool> {};

TEST_P(ChannelReads, ValuesReadBackSignedAndUnsignedWithThePositionCounting) {
    OpenReading(Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0, 0,
                       0, 0xF8, 0x3F}),
                GetParam());
    EXPECT_EQ(ReadWord(0), -1);
    EXPECT_EQ(ReadUnsignedWord(0), 65535);
    EXPECT_EQ(ReadByte(0), 255);
    EXPECT_EQ(ChannelPosition(0), 5);
    EXPECT_EQ(ReadLong(0), -2);
    EXPECT_EQ(ReadSingle(0), 1.0f);
    EXPECT_EQ(EndOfChannel(0), 0);
    EXPECT_EQ(ReadDouble(0), 1.5f);
    EXPECT_EQ(ChannelPosition(0), 21);
    EXPECT_EQ(EndOfChannel(0), 1);
}

TEST_P(ChannelReads, LinesEndAtLfOrCrLfAndAZeroByteEndsTheText) {
    OpenReading(std::string("a\r\nb\n\nx\0y\r\nlast", 16), GetParam());
    EXPECT_EQ(Str(ReadLine(0)), "a");
    EXPECT_EQ(ChannelPosition(0), 3);
    EXPECT_EQ(Str(ReadLine(0)), "b");
    EXPECT_EQ(Str(ReadLine(0)), "");
    EXPECT_EQ(Str(ReadLine(0)), "x");
    EXPECT_EQ(ChannelPosition(0), 11);
    EXPECT_EQ(Str(ReadLine(0)), "last");
    EXPECT_EQ(EndOfChannel(0), 1);
}

TEST_P(ChannelReads, LongLinesComeInPiecesOf1024Bytes) {
    const std::string long_line(1500, 'q');
    const std::string exact(1024, 'e');
    OpenReading(long_line + "\n" + exact + "\nend", GetParam());
    EXPECT_EQ(Str(ReadLine(0)), std::string(1024, 'q'));
    EXPECT_EQ(Str(ReadLine(0)), std::string(476, 'q'));
    EXPECT_EQ(Str(ReadLine(0)), exact);
    // The line end after exactly 1024 bytes is a line of its own.
    EXPECT_EQ(Str(ReadLine(0)), "");
    EXPECT_EQ(ReadLineToInt(0), 0);
    EXPECT_EQ(ChannelPosition(0), 1501 + 1025 + 3);
}

TEST_P(ChannelReads, LinesConvertToNumbers) {
    OpenReading("42\r\n-1.5\n", GetParam());
    EXPECT_EQ(ReadLineToInt(0), 42);
    EXPECT_EQ(ReadLineToFloat(0), -1.5f);
}

TEST_P(ChannelReads, ReadTextStopsAtAZeroByteButConsumesTheCount) {
    OpenReading(std::string("ab\0cdXYZ", 8), GetParam());
    EXPECT_EQ(Str(ReadText(0, 5)), "ab");
    EXPECT_EQ(ChannelPosition(0), 5);
    EXPECT_EQ(Str(ReadText(0, 0)), "");
    EXPECT_EQ(Str(ReadText(0, -3)), "");
    EXPECT_EQ(ChannelPosition(0), 5);
    EXPECT_EQ(Str(ReadText(0, 3)), "XYZ");
}

TEST_P(ChannelReads, SeekModesSetTheNextRead) {
    OpenReading("0123456789", GetParam());
    SeekChannel(0, -4, -1);
    EXPECT_EQ(ChannelPosition(0), 6);
    EXPECT_EQ(ReadByte(0), '6');
    SeekChannel(0, 2, 0);
    EXPECT_EQ(ReadByte(0), '2');
    SeekChannel(0, 4, 1);
    EXPECT_EQ(ChannelPosition(0), 7);
    EXPECT_EQ(ReadByte(0), '7');
    SeekChannel(0, 0, -1);
    EXPECT_EQ(EndOfChannel(0), 1);
}

TEST_P(ChannelReads, BinaryDataReadAsLinesStaysInsideTheBuffers) {
    std::string noise(5000, '\0');
    uint32_t seed = 7;
    for (char& c : noise) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    OpenReading(noise, GetParam());
    size_t consumed = 0;
    while (!EndOfChannel(0)) {
        const BasicString line = ReadLine(0);
        EXPECT_LE(line.length(), 1024u);
        consumed = static_cast<size_t>(ChannelPosition(0));
    }
    EXPECT_EQ(consumed, noise.size());
}

INSTANTIATE_TEST_SUITE_P(FileAndMemory, ChannelReads, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Memory" : "File"; });

TEST_F(FileChannels, MemoryViewsGiveZeroForBytesPastTheEnd) {
    OpenReading(Bytes({0x34, 0x12}), true);
    EXPECT_EQ(ReadLong(0), 0x1234);
    EXPECT_EQ(ChannelPosition(0), 2);
    // Exactly at the end a value reads as 0 without an error.
    EXPECT_EQ(ReadByte(0), 0);
    EXPECT_EQ(ReadDouble(0), 0.0f);
    EXPECT_EQ(ChannelPosition(0), 2);
}

TEST_F(FileChannels, HugeTextCountsReadWhatThereIs) {
    OpenReading("abc", true);
    EXPECT_EQ(Str(ReadText(0, INT32_MAX)), "abc");
    EXPECT_EQ(ChannelPosition(0), 3);
}

TEST_F(FileChannels, AWritingChannelIsAtItsEnd) {
    ASSERT_EQ(OpenFileChannel(5, "w.bin", 0), 1);
    WriteLong(5, 1);
    EXPECT_EQ(EndOfChannel(5), 1);
    EXPECT_EQ(ChannelPosition(5), 0);
    // A closed channel is left alone by a seek.
    SeekChannel(6, 5, 0);
    EXPECT_EQ(ChannelPosition(6), 0);
}

TEST_F(FileChannels, APackFileStaysReadableAfterLaterRequests) {
    // A pack of one entry made by the project's own tool, then read by a channel while the general reader
    // goes on to other requests (which free whatever the reader still holds).
    WriteWholeFile(File("level.txt"), "first\nsecond\n");
    // Of the same size, so that its bytes would land where the freed ones were.
    WriteWholeFile(File("other.txt"), "OTHER\nBYTES!\n");
    WriteWholeFile(File("pack.bin"), "");
    const ProcessResult packed = RunProgram({std::string(KORVANE_TOOLS_DIR) + "/korvane-pack", "add",
                                             File("pack.bin"), File("level.txt"), File("other.txt")});
    ASSERT_EQ(packed.exit_status, 0) << packed.errors;
    ASSERT_EQ(remove(File("level.txt").c_str()), 0);
    ASSERT_EQ(remove(File("other.txt").c_str()), 0);

    CreatePackSources();
    SetPackFile(File("pack.bin").c_str());
    ASSERT_EQ(OpenFileChannel(0, "Level.TXT", 1), 1);
    EXPECT_NE(FileChannelStream(0)->buffer, nullptr);
    EXPECT_EQ(Str(ReadLine(0)), "first");
    BasicString other;
    OutputCapture quiet;
    RequestFile(*g_general_pack, "elsewhere.txt", other, 1);
    EXPECT_EQ(RequestFile(*g_general_pack, "other.txt", other, 1), 1);
    quiet.Finish();
    EXPECT_EQ(Str(ReadLine(0)), "second");
    CloseAllChannels();
    ReleasePackSources();
}

// Misuse ends the program with the end reason the runtime reports.
TEST_F(FileChannels, MisuseEndsTheProgramWithItsCode) {
    WriteWholeFile(File("ab.txt"), "a\r\nb");
    WriteWholeFile(File("two.bin"), "xy");
    EXPECT_RUNTIME_ERROR(7, OpenFileChannel(8, "ab.txt", 1));
    EXPECT_RUNTIME_ERROR(7, ReadByte(4000000000u));
    EXPECT_RUNTIME_ERROR(7, WriteLine(9, BasicString("x")));
    EXPECT_RUNTIME_ERROR(3, ReadByte(2));
    EXPECT_RUNTIME_ERROR(3, WriteByte(2, 1));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, "ab.txt", 1); ReadLine(0); ReadLine(0); ReadLine(0));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, "two.bin", 1); ReadLong(0));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, "two.bin", 1); ReadText(0, INT32_MAX));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, "two.bin", 1); WriteByte(0, 1));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, "out.bin", 0); ReadByte(0));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, "out.bin", 0); InjectWriteFault(WriteFault::kShortWrite);
                         WriteLong(0, 1));
    const std::string bytes = "ab";
    const BasicString memory = MemoryFileName(bytes.data(), 2);
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, memory, 1); SeekChannel(0, 3, 0); ReadByte(0));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, memory, 1); SeekChannel(0, -1, 0); ReadByte(0));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, memory, 1); ReadText(0, 2); ReadLine(0));
    EXPECT_RUNTIME_ERROR(3, OpenFileChannel(0, memory, 1); WriteText(0, "x"));
}

}  // namespace
