// Saving onto a card that is really full: a small file system is mounted (in a mount namespace of a child
// process of its own, so it vanishes with the child), filled up, and then settings and a copy are saved onto
// it. Skipped where no file system can be mounted.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "files/directories.h"
#include "files/ini_files.h"
#include "storage/storage_fixtures.h"

namespace {

// Fills the file system the working directory is on, up to its last byte.
void FillUp() {
    FILE* filler = fopen("filler", "wb");
    if (filler == nullptr) return;
    setvbuf(filler, nullptr, _IONBF, 0);
    const std::string block(512, 'f');
    while (fwrite(block.data(), 1, block.size(), filler) == block.size()) {
    }
    while (fwrite("f", 1, 1, filler) == 1) {
    }
    fclose(filler);
}

TEST(FullCard, SavesThatDoNotFitLeaveTheOldFilesWhole) {
    TemporaryDirectory folder;
    const std::string card = folder.File("card");
    const ProcessResult result = RunInChild([&] {
        if (unshare(CLONE_NEWNS) != 0 || mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mkdir(card.c_str(), 0755) != 0 || mount("tmpfs", card.c_str(), "tmpfs", 0, "size=64k") != 0 ||
            chdir(card.c_str()) != 0) {
            printf("no mount\n");
            return;
        }
        WriteWholeFile("settings.ini", "[Video]\r\nmode=1\r\n");
        WriteWholeFile("save.bin", "old save");
        WriteWholeFile(folder.File("big.bin"), std::string(20000, 'b'));
        FillUp();

        IniTable table;
        LoadIniTable(table, "settings.ini");
        WriteIniValue(table, "Video", "mode", "2");
        WriteIniValue(table, "Notes", "text", std::string(6000, 'n').c_str());
        printf("saved %d\n", SaveIniTable(table) ? 1 : 0);
        CopyFile(folder.File("big.bin").c_str(), "save.bin");
        printf("settings [%s]\n", ReadWholeFile("settings.ini").c_str());
        printf("save [%s]\n", ReadWholeFile("save.bin").c_str());
        fflush(stdout);
        // Nothing but the three files: the fresh files were removed.
        system("ls -A");
    });
    if (result.output == "no mount\n") GTEST_SKIP() << "no file system can be mounted here";
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_EQ(result.output,
              "can't write to file: settings.ini\n"
              "saved 0\n"
              "can't write to file: save.bin\n"
              "settings [[Video]\r\nmode=1\r\n]\n"
              "save [old save]\n"
              "filler\nsave.bin\nsettings.ini\n");
}

}  // namespace
