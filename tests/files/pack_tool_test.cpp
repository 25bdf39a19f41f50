// korvane-pack, and programs that carry the packs it makes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/memory_file.h"
#include "files/pack_source.h"
#include "files_fixtures.h"

namespace {

std::string ToolPath() { return std::string(KORVANE_TOOLS_DIR) + "/korvane-pack"; }

ProcessResult Tool(const std::vector<std::string>& arguments, const std::string& folder) {
    std::vector<std::string> argv = {ToolPath()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return RunProgram(argv, {}, folder);
}

uint32_t Checksum(const std::string& bytes) {
    uint32_t hash = 2166136261u;
    for (unsigned char c : bytes) hash = (hash ^ c) * 16777619u;
    return hash;
}

class PackToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        mkdir(folder_.File("game").c_str(), 0755);
        for (int i = 0; i < 300; ++i) level_ += "row " + std::to_string(i) + ": ....##....\n";
        WriteWholeFile(folder_.File("game/Level1.TXT"), level_);
        WriteWholeFile(folder_.File("game/boom.wav"), NoiseBytes(5000, 5));
        WriteWholeFile(folder_.File("game/empty.dat"), "");
        program_ = "program bytes\x7f" + NoiseBytes(3000, 9);
        WriteWholeFile(folder_.File("game/program"), program_);
        chmod(folder_.File("game/program").c_str(), 0755);
    }

    // What the runtime's reader finds in path for name (to memory).
    std::string ReadThroughRuntime(const std::string& path, const std::string& name) {
        CreatePackSources();
        SetPackFile(path.c_str());
        BasicString out;
        StdoutCapture capture;
        std::string bytes = "<missing>";
        if (RequestFile(*g_general_pack, BasicString(name.c_str()), out, 1) == 1) {
            MemoryFile file;
            EXPECT_TRUE(ParseMemoryFileName(out.c_str(), file));
            bytes.assign(reinterpret_cast<const char*>(file.data), static_cast<size_t>(file.size));
        }
        ReleasePackSources();
        return bytes;
    }

    TemporaryDirectory folder_;
    std::string level_;
    std::string program_;
};

TEST_F(PackToolTest, PacksAFolderIntoItsProgramInBothForms) {
    for (const bool from_start : {false, true}) {
        SCOPED_TRACE(from_start ? "from the start" : "from the end");
        std::vector<std::string> arguments = {"add"};
        if (from_start) arguments.push_back("--from-start");
        arguments.insert(arguments.end(), {"game/program", "game"});
        const ProcessResult added = Tool(arguments, folder_.path());
        ASSERT_EQ(added.exit_status, 0) << added.errors;
        // One line per file, in name order; the program itself is not packed into itself.
        const std::vector<std::string> lines = SplitLines(added.output);
        ASSERT_EQ(lines.size(), from_start ? 4u : 3u) << added.output;
        EXPECT_EQ(lines[lines.size() - 3].rfind("added Level1.TXT: " + std::to_string(level_.size()) + " bytes", 0), 0u);
        EXPECT_EQ(lines[lines.size() - 2].rfind("added boom.wav: 5000 bytes", 0), 0u);
        EXPECT_EQ(lines[lines.size() - 1], "added empty.dat: 0 bytes, stored in 7");
        if (from_start) {
            EXPECT_EQ(lines[0], "replacing the pack at the end of game/program");
        }

        const std::string packed = ReadWholeFile(folder_.File("game/program"));
        // The program's own bytes stay in front; a second add replaced the first pack instead of stacking.
        EXPECT_EQ(packed.substr(0, program_.size()), program_);
        EXPECT_EQ(packed.substr(packed.size() - 7, 3), "sbX");
        const int32_t directory = ReadLittleEndianForTest(packed.substr(packed.size() - 4));
        EXPECT_EQ(directory < 0, !from_start);
        struct stat info;
        ASSERT_EQ(stat(folder_.File("game/program").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0755u);

        EXPECT_EQ(ReadThroughRuntime(folder_.File("game/program"), "levels/level1.txt"), level_);
        EXPECT_EQ(ReadThroughRuntime(folder_.File("game/program"), "BOOM.WAV"), NoiseBytes(5000, 5));
        EXPECT_EQ(ReadThroughRuntime(folder_.File("game/program"), "empty.dat"), "");
        EXPECT_EQ(ReadThroughRuntime(folder_.File("game/program"), "program"), "<missing>");
    }
}

TEST_F(PackToolTest, ListsAndExtractsEntries) {
    ASSERT_EQ(Tool({"create", "data.pack", "--as", "level1.txt", "game/Level1.TXT", "game/empty.dat"}, folder_.path())
                  .exit_status, 0);
    const ProcessResult listed = Tool({"list", "data.pack"}, folder_.path());
    ASSERT_EQ(listed.exit_status, 0) << listed.errors;
    const std::vector<std::string> lines = SplitLines(listed.output);
    ASSERT_EQ(lines.size(), 3u) << listed.output;
    EXPECT_EQ(lines[0], "    stored   expanded  name");
    EXPECT_EQ(lines[1].substr(10), " " + std::string(10 - std::to_string(level_.size()).size(), ' ') +
                                       std::to_string(level_.size()) + "  level1.txt");
    EXPECT_EQ(lines[2], "         7          0  empty.dat");

    mkdir(folder_.File("out").c_str(), 0755);
    const ProcessResult one = Tool({"extract", "data.pack", "-C", "out", "LEVEL1.TXT"}, folder_.path());
    ASSERT_EQ(one.exit_status, 0) << one.errors;
    EXPECT_EQ(ReadWholeFile(folder_.File("out/level1.txt")), level_);
    EXPECT_NE(access(folder_.File("out/empty.dat").c_str(), F_OK), 0);
    const ProcessResult all = Tool({"extract", "data.pack", "-C", "out"}, folder_.path());
    ASSERT_EQ(all.exit_status, 0) << all.errors;
    EXPECT_EQ(access(folder_.File("out/empty.dat").c_str(), F_OK), 0);

    const ProcessResult missing = Tool({"extract", "data.pack", "-C", "out", "nothing.txt"}, folder_.path());
    EXPECT_NE(missing.exit_status, 0);
    EXPECT_EQ(missing.errors, "korvane-pack: the pack holds no nothing.txt\n");
}

TEST_F(PackToolTest, RefusalsLeaveTheTargetUntouched) {
    const std::string long_name(256, 'n');
    struct Case {
        std::vector<std::string> arguments;
        std::string message;
    };
    const Case cases[] = {
        {{"add", "game/program", "--as", "", "game/boom.wav"},
         "korvane-pack: an entry name cannot be empty (game/boom.wav)\n"},
        {{"add", "game/program", "--as", long_name, "game/boom.wav"},
         "korvane-pack: entry name \"" + long_name + "\" is 256 bytes long; at most 255 are allowed (game/boom.wav)\n"},
        {{"add", "game/program", "game/boom.wav", "game/missing.wav"},
         "korvane-pack: cannot read game/missing.wav: No such file or directory\n"},
        {{"add", "game/program", "game/boom.wav", "--as", "BOOM.wav", "game/empty.dat"},
         "korvane-pack: two files are named BOOM.wav (letter case aside); only one can be found\n"},
    };
    for (const Case& c : cases) {
        const ProcessResult result = Tool(c.arguments, folder_.path());
        EXPECT_NE(result.exit_status, 0);
        EXPECT_EQ(result.errors, c.message);
        EXPECT_EQ(result.output, "");
        EXPECT_EQ(ReadWholeFile(folder_.File("game/program")), program_);
    }
    // Nothing was left beside the target either.
    const ProcessResult listing = RunProgram({"/bin/ls", "-A", "game"}, {}, folder_.path());
    EXPECT_EQ(listing.output, "Level1.TXT\nboom.wav\nempty.dat\nprogram\n");
}

TEST_F(PackToolTest, ExtractRefusesNamesThatLeaveTheFolder) {
    const std::string pack = MakePack("", {{"../escaped.txt", "out"}, {"..", "dots"}, {"fine.txt", "in"}}, true);
    WriteWholeFile(folder_.File("game/hostile.pack"), pack);
    mkdir(folder_.File("game/out").c_str(), 0755);
    const ProcessResult result = Tool({"extract", "hostile.pack", "-C", "out"}, folder_.File("game"));
    EXPECT_NE(result.exit_status, 0);
    EXPECT_NE(result.errors.find("refusing to extract an entry named \"../escaped.txt\""), std::string::npos);
    EXPECT_NE(access(folder_.File("game/escaped.txt").c_str(), F_OK), 0);
    EXPECT_EQ(ReadWholeFile(folder_.File("game/out/fine.txt")), "in");
}

// The program starts, changes to its own folder and finds "white_background.bmp" only in its appended pack,
// while it is run from elsewhere.
TEST_F(PackToolTest, AProgramFindsAPictureOnlyInItsAppendedPack) {
    const std::string picture = folder_.File("white_background.bmp");
    ASSERT_EQ(RunProgram({"/usr/bin/env", "convert", "-size", "320x240", "xc:white", "BMP3:" + picture}).exit_status, 0);
    const std::string bytes = ReadWholeFile(picture);
    ASSERT_GT(bytes.size(), 320u * 240u);
    const std::string probe = folder_.File("game/files_pack_probe");
    CopyFileTo(TestProgramPath("files_pack_probe"), probe);
    ASSERT_EQ(Tool({"add", probe, picture}, "").exit_status, 0);
    ASSERT_EQ(unlink(picture.c_str()), 0);
    mkdir(folder_.File("elsewhere").c_str(), 0755);
    mkdir(folder_.File("tmp").c_str(), 0755);
    char checksum[16];
    snprintf(checksum, sizeof(checksum), "%08x", Checksum(bytes));

    const ProcessResult in_memory =
        RunProgram({probe}, {"FILES_PROBE_NAME=White_Background.BMP", "TMPDIR=" + folder_.File("tmp")},
                   folder_.File("elsewhere"));
    EXPECT_EQ(in_memory.exit_status, 0) << in_memory.errors;
    EXPECT_NE(in_memory.output.find("probe found 1\nprobe name mem://"), std::string::npos) << in_memory.output;
    EXPECT_NE(in_memory.output.find("probe bytes " + std::to_string(bytes.size()) + " " + checksum + "\n"),
              std::string::npos)
        << in_memory.output;

    // As a sound would be: a temporary file, gone again once the program has ended.
    const ProcessResult on_disk = RunProgram(
        {probe}, {"FILES_PROBE_NAME=white_background.bmp", "FILES_PROBE_TO_MEMORY=0", "TMPDIR=" + folder_.File("tmp")},
        folder_.File("elsewhere"));
    EXPECT_EQ(on_disk.exit_status, 0) << on_disk.errors;
    const size_t at = on_disk.output.find("probe name " + folder_.File("tmp") + "/sbx");
    ASSERT_NE(at, std::string::npos) << on_disk.output;
    EXPECT_NE(on_disk.output.find("white_background.bmp\nprobe bytes " + std::to_string(bytes.size()) + " " + checksum),
              std::string::npos)
        << on_disk.output;
    const ProcessResult left = RunProgram({"/bin/ls", "-A", folder_.File("tmp")});
    EXPECT_EQ(left.output, "");
}

}  // namespace
