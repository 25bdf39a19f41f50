// Storage inside a whole program: files read from a pack appended to the program, and settings and line
// files saved at the program's end even when the launcher takes the process over.
#include <gtest/gtest.h>

#include <string>

#include "storage/storage_fixtures.h"

namespace {

class StorageProgram : public ::testing::Test {
protected:
    StorageProgram() {
        program_ = folder_.File("game");
        CopyFileTo(TestProgramPath("storage_probe"), program_);
    }
    ProcessResult Run(const std::vector<std::string>& environment) {
        std::vector<std::string> all = environment;
        all.push_back("TMPDIR=" + folder_.path());
        all.push_back("KORVANE_LAUNCHER_LOG=" + folder_.File("launcher.log"));
        return RunProgram({program_}, all, "/");
    }

    TemporaryDirectory folder_;
    TemporaryDirectory sources_;
    std::string program_;
};

TEST_F(StorageProgram, ChannelsIniTablesAndLineFilesReadFromTheAppendedPack) {
    WriteWholeFile(sources_.File("level.txt"), "row one\r\nrow two\r\n");
    WriteWholeFile(sources_.File("game.ini"), "[Player]\r\nname = Ann\r\n");
    const ProcessResult packed = RunProgram({std::string(KORVANE_TOOLS_DIR) + "/korvane-pack", "add", program_,
                                             sources_.File("level.txt"), sources_.File("game.ini")});
    ASSERT_EQ(packed.exit_status, 0) << packed.errors;

    const ProcessResult result =
        Run({"STORAGE_PROBE_CHANNEL=Level.TXT", "STORAGE_PROBE_INI=GAME.ini", "STORAGE_PROBE_LINES=level.txt"});
    EXPECT_NE(result.output.find("channel: row one\nchannel: row two\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("ini: Ann\n"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("lines: row one\n"), std::string::npos) << result.output;
    // The INI table from the pack has a memory name and is not written; the line file is written to disk
    // beside the program (its working directory), under the name the program used.
    EXPECT_FALSE(FileExistsOnDisk(folder_.File("GAME.ini")));
    EXPECT_FALSE(FileExistsOnDisk(folder_.File("game.ini")));
    EXPECT_EQ(ReadWholeFile(folder_.File("level.txt")), "row one\r\nsaved\r\n");
}

TEST_F(StorageProgram, ChangesAreSavedBeforeTheLauncherReplacesTheProgram) {
    CopyFileTo(TestProgramPath("launcher_stub"), folder_.File("gp2xmenu"));
    WriteWholeFile(folder_.File("settings.ini"), "[Player]\r\nname=Bo\r\n");
    WriteWholeFile(folder_.File("save.txt"), "level 2\r\n");
    const ProcessResult result = Run({"STORAGE_PROBE_INI=settings.ini", "STORAGE_PROBE_LINES=save.txt"});
    // The launcher stub ran in the program's place: no exit handler of the program ever ran.
    EXPECT_EQ(result.exit_status, 77) << result.output << result.errors;
    EXPECT_NE(ReadWholeFile(folder_.File("launcher.log")).find("gp2xmenu"), std::string::npos);
    EXPECT_NE(result.output.find("ini: Bo\nlines: level 2\n"), std::string::npos) << result.output;
    EXPECT_EQ(ReadWholeFile(folder_.File("settings.ini")), "[Player]\r\nname=Bo\r\nscore=100\r\n");
    EXPECT_EQ(ReadWholeFile(folder_.File("save.txt")), "level 2\r\nsaved\r\n");
}

}  // namespace
