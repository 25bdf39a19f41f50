// The pack readers: requests that end on disk, in the pack (memory files and temporary files), and packs
// that are damaged or hostile.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>

#include "files/memory_file.h"
#include "files/pack_source.h"
#include "files_fixtures.h"

namespace {

// A pack reader test: the working directory is an empty scratch folder, temporary files go to a folder of
// their own (TMPDIR), and the two readers exist.
class PackSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tmpdir = getenv("TMPDIR");
        had_tmpdir_ = tmpdir != nullptr;
        if (had_tmpdir_) saved_tmpdir_ = tmpdir;
        temporary_folder_ = scratch_.File("extracted");
        mkdir(temporary_folder_.c_str(), 0700);
        setenv("TMPDIR", temporary_folder_.c_str(), 1);
        CreatePackSources();
    }
    void TearDown() override {
        ReleasePackSources();
        if (had_tmpdir_) {
            setenv("TMPDIR", saved_tmpdir_.c_str(), 1);
        } else {
            unsetenv("TMPDIR");
        }
    }

    // Puts the pack into a file and gives it to the readers.
    void UsePackFile(const std::string& bytes) {
        WriteWholeFile(scratch_.File("program"), bytes);
        SetPackFile(scratch_.File("program").c_str());
    }
    // Puts the pack into a block of exactly its size (so that any read past it is caught) and names it.
    void UsePackMemory(const std::string& bytes) {
        memory_pack_.reset(new uint8_t[bytes.size() + 1]);
        memcpy(memory_pack_.get(), bytes.data(), bytes.size());
        SetPackFile(MemoryFileName(memory_pack_.get(), static_cast<uint32_t>(bytes.size())).c_str());
    }

    // The bytes a memory file name addresses.
    static std::string MemoryBytes(const BasicString& name) {
        MemoryFile file;
        EXPECT_TRUE(ParseMemoryFileName(name.c_str(), file)) << name.c_str();
        return std::string(reinterpret_cast<const char*>(file.data), static_cast<size_t>(file.size));
    }

    ScratchFolder scratch_;
    std::string temporary_folder_;
    std::unique_ptr<uint8_t[]> memory_pack_;
    bool had_tmpdir_ = false;
    std::string saved_tmpdir_;
};

const std::string kFront = "\x7f" "ELF and the rest of a program";
const std::string kLevel = "level one\nrow 2\n";

enum class PackPlace { kFileFromEnd, kFileFromStart, kMemoryFromEnd, kMemoryFromStart };

class PackPlaceTest : public PackSourceTest, public ::testing::WithParamInterface<PackPlace> {
protected:
    void Use(const std::string& front, const std::vector<std::pair<std::string, std::string>>& files) {
        const PackPlace place = GetParam();
        const bool from_end = place == PackPlace::kFileFromEnd || place == PackPlace::kMemoryFromEnd;
        const std::string pack = MakePack(front, files, from_end);
        if (place == PackPlace::kFileFromEnd || place == PackPlace::kFileFromStart) {
            UsePackFile(pack);
        } else {
            UsePackMemory(pack);
        }
    }
};

TEST_P(PackPlaceTest, FindsAnEntryByItsBaseNameIgnoringCase) {
    Use(kFront, {{"title.png", "not this one"}, {"level1.txt", kLevel}, {"z", ""}});
    BasicString out;
    StdoutCapture capture;
    ASSERT_EQ(RequestFile(*g_general_pack, "levels/Level1.TXT", out, 1), 1);
    EXPECT_EQ(capture.Finish(), "request: fopen(\"levels/Level1.TXT\", \"rb\") failed\n");
    EXPECT_EQ(strncmp(out.c_str(), "mem://", 6), 0);
    EXPECT_EQ(MemoryBytes(out), kLevel);
    MemoryFile file;
    ASSERT_TRUE(ParseMemoryFileName(out.c_str(), file));
    EXPECT_EQ(file.data, g_general_pack->memory_block);

    // A backslash also ends the folder part; an empty entry still has an address.
    ASSERT_EQ(RequestFile(*g_general_pack, "data\\Z", out, 1), 1);
    EXPECT_EQ(MemoryBytes(out), "");
    EXPECT_NE(g_general_pack->memory_block, nullptr);
}

INSTANTIATE_TEST_SUITE_P(AllForms, PackPlaceTest,
                         ::testing::Values(PackPlace::kFileFromEnd, PackPlace::kFileFromStart,
                                           PackPlace::kMemoryFromEnd, PackPlace::kMemoryFromStart));

TEST_F(PackSourceTest, OnlyWholeNamesMatch) {
    UsePackFile(MakePack(kFront, {{"level1.txtx", "longer"}, {"evel1.txt", "shorter"}, {"level1", "prefix"}}, true));
    BasicString out;
    StdoutCapture capture;
    EXPECT_EQ(RequestFile(*g_general_pack, "level1.txt", out, 1), 0);
    EXPECT_STREQ(out.c_str(), "");
    ASSERT_EQ(RequestFile(*g_general_pack, "LEVEL1", out, 1), 1);
    EXPECT_EQ(MemoryBytes(out), "prefix");
}

TEST_F(PackSourceTest, FilesOnDiskAndMemoryNamesComeBackUnchanged) {
    UsePackFile(MakePack(kFront, {{"level1.txt", "from the pack"}}, true));
    WriteWholeFile("level1.txt", "from the disk");
    BasicString out;
    StdoutCapture capture;
    ASSERT_EQ(RequestFile(*g_general_pack, "Level1.TXT", out, 1), 1);
    EXPECT_STREQ(out.c_str(), "Level1.TXT");  // the opener corrects the case again
    EXPECT_EQ(g_general_pack->memory_block, nullptr);
    ASSERT_EQ(RequestFile(*g_general_pack, "mem://       4.    1000", out, 1), 1);
    EXPECT_STREQ(out.c_str(), "mem://       4.    1000");
    EXPECT_EQ(capture.Finish(), "");
}

TEST_F(PackSourceTest, MissingFilesAndEmptyNamesGiveNothing) {
    UsePackFile(MakePack(kFront, {{"level1.txt", kLevel}}, true));
    BasicString out("stale");
    StdoutCapture capture;
    EXPECT_EQ(RequestFile(*g_general_pack, "", out, 1), 0);
    EXPECT_STREQ(out.c_str(), "");
    EXPECT_EQ(RequestFile(*g_general_pack, "nothing.txt", out, 1), 0);
    EXPECT_STREQ(out.c_str(), "");
    EXPECT_EQ(capture.Finish(), "request: fopen(\"nothing.txt\", \"rb\") failed\n");
    EXPECT_EQ(g_general_pack->enabled, 1);
}

TEST_F(PackSourceTest, EachRequestReleasesWhatTheLastOneGave) {
    UsePackFile(MakePack(kFront, {{"a.txt", "first"}, {"b.txt", "second"}}, true));
    BasicString first, second;
    StdoutCapture capture;
    ASSERT_EQ(RequestFile(*g_general_pack, "a.txt", first, 1), 1);
    ASSERT_EQ(RequestFile(*g_general_pack, "b.txt", second, 1), 1);
    EXPECT_EQ(MemoryBytes(second), "second");
    // The other reader keeps its own.
    ASSERT_EQ(RequestFile(*g_music_pack, "a.txt", first, 1), 1);
    EXPECT_EQ(MemoryBytes(second), "second");
    EXPECT_EQ(MemoryBytes(first), "first");
    EXPECT_EQ(RequestFile(*g_general_pack, "c.txt", second, 1), 0);
    EXPECT_EQ(g_general_pack->memory_block, nullptr);
    EXPECT_NE(g_music_pack->memory_block, nullptr);
}

TEST_F(PackSourceTest, TemporaryNamesTakeTheirLettersFromTheLowBytes) {
    struct Case {
        int32_t offset, stored;
        const char* expected;
    };
    const Case cases[] = {
        {300, 1000, "/mnt/sd/sbxSYboom.wav"},
        {0, 25, "/mnt/sd/sbxAZboom.wav"},
        {-100, -1, "/mnt/sd/sbxAVboom.wav"},  // 0x9c = 156 -> 0 -> 'A'; 0xff = 255 -> 21 -> 'V'
        {-2147483647 - 1, 255, "/mnt/sd/sbxAVboom.wav"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(TemporaryFileName("/mnt/sd/", c.offset, c.stored, "boom.wav").c_str(), c.expected);
}

TEST_F(PackSourceTest, TemporaryFolderIsTheCardThenTmpdirThenTmp) {
    WriteWholeFile("plain-file", "");
    const std::string card = scratch_.path();
    EXPECT_EQ(std::string(ChooseTemporaryFolder(card.c_str(), "/elsewhere").c_str()), card + "/");
    EXPECT_STREQ(ChooseTemporaryFolder("/no/such/card/", "/elsewhere").c_str(), "/elsewhere/");
    EXPECT_STREQ(ChooseTemporaryFolder("plain-file", "/elsewhere/").c_str(), "/elsewhere/");
    EXPECT_STREQ(ChooseTemporaryFolder("/no/such/card/", "").c_str(), "/tmp/");
    EXPECT_STREQ(ChooseTemporaryFolder("/no/such/card/", nullptr).c_str(), "/tmp/");
}

// A pack with "boom.wav" stored at offset 300 with a stored size of exactly 1000, offsets from the start.
std::string BoomPack(std::string* sound) {
    // Noise barely compresses; look for a length whose stream is exactly 996 bytes.
    for (size_t length = 900; length <= 996; ++length) {
        const std::string candidate = NoiseBytes(length, 11);
        const std::string stream = LzoStream(candidate);
        if (stream.size() != 996) continue;
        *sound = candidate;
        std::string pack(300, 'p');
        pack += Le32(static_cast<int64_t>(length)) + stream;
        const int64_t directory = static_cast<int64_t>(pack.size());
        pack += DirectoryEntry("boom.wav", 300, 1000) + std::string(1, '\0') + Trailer(directory);
        return pack;
    }
    return "";
}

TEST_F(PackSourceTest, SoundsAreWrittenToTemporaryFilesThatTheNextRequestDeletes) {
    if (access("/mnt/sd/", W_OK) == 0) GTEST_SKIP() << "this machine has a writable /mnt/sd/";
    std::string sound;
    const std::string pack = BoomPack(&sound);
    ASSERT_FALSE(pack.empty());
    UsePackFile(pack);
    BasicString out;
    StdoutCapture capture;
    ASSERT_EQ(RequestFile(*g_general_pack, "sfx/BOOM.WAV", out, 0), 1);
    const std::string expected = temporary_folder_ + "/sbxSYboom.wav";
    EXPECT_EQ(std::string(out.c_str()), expected);
    EXPECT_STREQ(g_general_pack->temp_file, expected.c_str());
    EXPECT_EQ(g_general_pack->memory_block, nullptr);
    EXPECT_EQ(ReadWholeFile(expected), sound);

    EXPECT_EQ(RequestFile(*g_general_pack, "other.wav", out, 0), 0);
    EXPECT_NE(access(expected.c_str(), F_OK), 0);
    EXPECT_STREQ(g_general_pack->temp_file, "");
}

TEST_F(PackSourceTest, APlantedLinkUnderTheTemporaryNameIsNeverFollowed) {
    std::string sound;
    UsePackFile(BoomPack(&sound));
    const std::string victim = scratch_.File("victim");
    WriteWholeFile(victim, "precious");
    const std::string name = temporary_folder_ + "/sbxSYboom.wav";
    ASSERT_EQ(symlink(victim.c_str(), name.c_str()), 0);
    BasicString out;
    StdoutCapture capture;
    ASSERT_EQ(RequestFile(*g_music_pack, "boom.wav", out, 0), 1);
    EXPECT_EQ(ReadWholeFile(victim), "precious");
    struct stat info;
    ASSERT_EQ(lstat(name.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(ReadWholeFile(name), sound);
}

TEST_F(PackSourceTest, AnUnwritableTemporaryFolderFailsTheRequest) {
    UsePackFile(MakePack(kFront, {{"boom.wav", "sound"}}, true));
    setenv("TMPDIR", "/no/such/folder", 1);
    BasicString out;
    StdoutCapture capture;
    EXPECT_EQ(RequestFile(*g_general_pack, "boom.wav", out, 0), 0);
    const std::string text = capture.Finish();
    EXPECT_NE(text.find("can't write to file: /no/such/folder/sbx"), std::string::npos) << text;
    EXPECT_STREQ(out.c_str(), "");
    EXPECT_STREQ(g_general_pack->temp_file, "");
}

TEST_F(PackSourceTest, SetPackFileAndShutdownReleaseWhatTheReadersHold) {
    UsePackFile(MakePack(kFront, {{"boom.wav", "sound"}, {"level1.txt", kLevel}}, true));
    BasicString out;
    StdoutCapture capture;
    ASSERT_EQ(RequestFile(*g_music_pack, "boom.wav", out, 0), 1);
    const std::string music_file = out.c_str();
    ASSERT_EQ(RequestFile(*g_general_pack, "level1.txt", out, 1), 1);
    SetPackFile(scratch_.File("program").c_str());
    EXPECT_NE(access(music_file.c_str(), F_OK), 0);
    EXPECT_EQ(g_general_pack->memory_block, nullptr);

    ASSERT_EQ(RequestFile(*g_music_pack, "boom.wav", out, 0), 1);
    ReleasePackSources();
    EXPECT_NE(access(out.c_str(), F_OK), 0);
    EXPECT_EQ(g_music_pack, nullptr);
    ReleasePackSources();
    EXPECT_EQ(g_general_pack, nullptr);
}

TEST_F(PackSourceTest, ReadersWithoutAPackAreDisabledUntilSetPackFile) {
    BasicString out;
    {
        SetPackFile("");
        StdoutCapture capture;
        EXPECT_EQ(RequestFile(*g_general_pack, "a.txt", out, 1), 0);
        EXPECT_EQ(g_general_pack->enabled, 0);
    }
    {
        const std::string missing = scratch_.File("no-program");
        SetPackFile(missing.c_str());
        StdoutCapture capture;
        EXPECT_EQ(RequestFile(*g_general_pack, "a.txt", out, 1), 0);
        EXPECT_EQ(capture.Finish(), "request: fopen(\"a.txt\", \"rb\") failed\n"
                                    "request: fopen(\"" + missing + "\", \"rb\") failed\n");
        EXPECT_EQ(g_general_pack->enabled, 0);
        StdoutCapture again;
        EXPECT_EQ(RequestFile(*g_general_pack, "a.txt", out, 1), 0);
        EXPECT_EQ(again.Finish(), "request: fopen(\"a.txt\", \"rb\") failed\n");
    }
    {
        // A name too long to keep is no name: it must not be cut into another file's path.
        SetPackFile(std::string(1024, 'x').c_str());
        EXPECT_STREQ(g_general_pack->pack_name, "");
    }
    UsePackFile(MakePack(kFront, {{"a.txt", "back"}}, true));
    EXPECT_EQ(g_general_pack->enabled, 1);
    StdoutCapture capture;
    ASSERT_EQ(RequestFile(*g_general_pack, "a.txt", out, 1), 1);
    EXPECT_EQ(MemoryBytes(out), "back");
}

TEST_F(PackSourceTest, AFileWithoutTheMagicLeavesTheReaderEnabled) {
    UsePackFile("just a program, no pack at all");
    BasicString out;
    StdoutCapture capture;
    EXPECT_EQ(RequestFile(*g_general_pack, "a.txt", out, 1), 0);
    EXPECT_EQ(g_general_pack->enabled, 1);
}

// Packs whose numbers point anywhere: each request fails cleanly, reads nothing outside the pack (the memory
// form is a block of exactly the pack's size), and keeps nothing.
struct HostileCase {
    const char* what;
    std::string bytes;
};

std::vector<HostileCase> HostileCases() {
    const std::string payload = Payload(kLevel);
    const int64_t s = static_cast<int64_t>(payload.size());
    const std::string front(20, 'f');
    // front, payload, then the directory at 20 + s; the directory entries are given by each case.
    auto from_start = [&](const std::string& entries) {
        return front + payload + entries + Trailer(20 + s);
    };
    const int64_t entry_size = 1 + 5 + 8;
    const int64_t total = 20 + s + entry_size + 1 + 7;
    auto from_end = [&](int64_t offset, int64_t stored) {
        return front + payload + DirectoryEntry("x.bin", offset, stored) + std::string(1, '\0') +
               Trailer(-(entry_size + 1 + 7));
    };
    const std::string end = std::string(1, '\0');
    std::vector<HostileCase> cases = {
        {"shorter than the trailer", "bX" + Le32(0)},
        {"directory beyond the end", from_start("") .substr(0, 20 + static_cast<size_t>(s)) + Trailer(1 << 30)},
        {"directory at the trailer's end", front + Trailer(27)},
        {"directory before the start", front + Trailer(-1000)},
        {"directory offset INT32_MIN", front + Trailer(INT32_MIN)},
        {"no end marker: the name length runs out", from_start(DirectoryEntry("y.bin", 20, s))},
        {"name running past the end", front + payload + std::string(1, '\xff') + "x.bin" + Trailer(20 + s)},
        {"directory inside the trailer", front + payload + Trailer(-4)},  // its name length is D's own 0xfc
        {"stored size beyond the end", from_start(DirectoryEntry("x.bin", 20, s + 1000) + end)},
        {"stored size INT32_MAX", from_start(DirectoryEntry("x.bin", 20, INT32_MAX) + end)},
        {"stored size below four", from_start(DirectoryEntry("x.bin", 20, 3) + end)},
        {"negative stored size", from_start(DirectoryEntry("x.bin", 20, -4) + end)},
        {"negative offset counted from the start", from_start(DirectoryEntry("x.bin", -20, s) + end)},
        {"offset beyond the end", from_start(DirectoryEntry("x.bin", 1 << 30, s) + end)},
        {"offset counted back past the start", from_end(-total - 1, s)},
        {"offset INT32_MIN counted back", from_end(INT32_MIN, s)},
        {"payload overlapping the end", from_end(-8, s)},
        {"expanded length above 256 MiB",
         from_start(DirectoryEntry("x.bin", 20, s) + end).replace(20, 4, Le32(int64_t{256} << 20 | 1))},
        {"expanded length larger than the stream gives",
         from_start(DirectoryEntry("x.bin", 20, s) + end).replace(20, 4, Le32(static_cast<int64_t>(kLevel.size()) + 1))},
        {"stream damaged", from_start(DirectoryEntry("x.bin", 20, s) + end).replace(24, 8, "\xff\xff\xff\xff\xff\xff\xff\xff")},
    };
    return cases;
}

TEST_F(PackSourceTest, HostilePacksFailCleanly) {
    for (bool in_memory : {false, true}) {
        for (const HostileCase& c : HostileCases()) {
            SCOPED_TRACE(std::string(c.what) + (in_memory ? " (memory)" : " (file)"));
            if (in_memory) {
                UsePackMemory(c.bytes);
            } else {
                UsePackFile(c.bytes);
            }
            BasicString out("stale");
            StdoutCapture capture;
            EXPECT_EQ(RequestFile(*g_general_pack, "x.bin", out, 1), 0);
            EXPECT_STREQ(out.c_str(), "");
            EXPECT_EQ(g_general_pack->memory_block, nullptr);
            EXPECT_EQ(RequestFile(*g_general_pack, "x.bin", out, 0), 0);
            EXPECT_STREQ(g_general_pack->temp_file, "");
            EXPECT_EQ(capture.Finish(), "request: fopen(\"x.bin\", \"rb\") failed\n"
                                        "request: fopen(\"x.bin\", \"rb\") failed\n");
        }
    }
}

TEST_F(PackSourceTest, ADamagedEntryDoesNotHideTheOthers) {
    const std::string payload = Payload(kLevel);
    const int64_t s = static_cast<int64_t>(payload.size());
    const std::string pack = payload + DirectoryEntry("bad.bin", 1 << 30, 99) + DirectoryEntry("x.bin", 0, s) +
                             std::string(1, '\0') + Trailer(s);
    UsePackFile(pack);
    BasicString out;
    StdoutCapture capture;
    EXPECT_EQ(RequestFile(*g_general_pack, "bad.bin", out, 1), 0);
    ASSERT_EQ(RequestFile(*g_general_pack, "x.bin", out, 1), 1);
    EXPECT_EQ(MemoryBytes(out), kLevel);
}

}  // namespace
