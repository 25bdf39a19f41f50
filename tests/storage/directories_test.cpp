// Whole-file and directory commands: existence and size, copying (and a copy that fails on the way),
// deleting, the working directory, directory listings and the wildcard test.
#include "files/directories.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <set>
#include <string>
#include <vector>

#include "files/memory_file.h"
#include "storage/storage_fixtures.h"

namespace {

class Directories : public StorageFolderTest {};

std::string Noise(size_t count) {
    std::string bytes(count, '\0');
    uint32_t seed = 99;
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// The folder's entries other than "." and "..".
std::set<std::string> EntriesOf(const std::string& folder) {
    std::set<std::string> names;
    DIR* directory = opendir(folder.c_str());
    while (const dirent* entry = readdir(directory)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.insert(name);
    }
    closedir(directory);
    return names;
}

TEST_F(Directories, ExistenceAndSizeFollowWhatAStreamOpens) {
    WriteWholeFile(File("Hello.TXT"), "hello");
    ASSERT_EQ(mkdir(File("sub").c_str(), 0755), 0);
    const std::string bytes = "memory bytes";
    const BasicString memory = MemoryFileName(bytes.data(), static_cast<uint32_t>(bytes.size()));

    OutputCapture output;
    EXPECT_EQ(FileExists("hello.txt"), 1.0f);
    EXPECT_EQ(FileSize("hello.txt"), 5);
    EXPECT_EQ(FileExists(memory), 1.0f);
    EXPECT_EQ(FileSize(memory), 12);
    EXPECT_EQ(FileExists("missing.txt"), 0.0f);
    EXPECT_EQ(FileSize("missing.txt"), 0);
    EXPECT_EQ(output.Finish(), "request: fopen(\"missing.txt\", \"rb\") failed\n"
                               "request: fopen(\"missing.txt\", \"rb\") failed\n");

    EXPECT_EQ(IsDirectory("sub"), 1);
    EXPECT_EQ(IsDirectory("Hello.TXT"), 0);
    EXPECT_EQ(IsDirectory("nothing"), 0);
    EXPECT_EQ(DeleteFile("Hello.TXT"), 0);
    EXPECT_NE(DeleteFile("Hello.TXT"), 0);
}

TEST_F(Directories, TheWorkingDirectoryEndsInASlashAndChanges) {
    ASSERT_EQ(mkdir(File("inner").c_str(), 0755), 0);
    char* real = realpath(path().c_str(), nullptr);
    const std::string folder = real;
    free(real);
    EXPECT_EQ(Str(CurrentDirectory()), folder + "/");
    EXPECT_EQ(ChangeDirectory("inner"), 1.0f);
    EXPECT_EQ(Str(CurrentDirectory()), folder + "/inner/");
    EXPECT_EQ(ChangeDirectory("not_there"), 0.0f);
    EXPECT_EQ(Str(CurrentDirectory()), folder + "/inner/");

    BasicString windows_path("a\\b\\c.png");
    SlashPath(windows_path);
    EXPECT_EQ(Str(windows_path), "a/b/c.png");
}

TEST_F(Directories, ListingPutsEveryDirectoryFirstThenMatchingFiles) {
    WriteWholeFile(File("x.PNG"), "");
    WriteWholeFile(File("y.txt"), "");
    ASSERT_EQ(mkdir(File("gfx").c_str(), 0755), 0);
    // The directories in the order the system reads them, independently of the command.
    std::vector<std::string> directories;
    DIR* folder = opendir(".");
    while (const dirent* entry = readdir(folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || name == "gfx") directories.push_back(name);
    }
    closedir(folder);

    StrArray result;
    result.FillArray({"stale", "stale", "stale", "stale", "stale", "stale"});
    EXPECT_EQ(ListDirectory("*.png", result), 1 + 3 * 65536);
    ASSERT_EQ(result.ElementCount(), 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Str(result(i)), directories[static_cast<size_t>(i)]);
    EXPECT_EQ(Str(result(3)), "x.PNG");

    EXPECT_EQ(ListDirectory("*.*", result), 2 + 3 * 65536);
    EXPECT_EQ(ListDirectory("*.wav", result), 3 * 65536);
    EXPECT_EQ(result.ElementCount(), 3);
}

struct PatternCase {
    const char* pattern;
    const char* name;
    int32_t matches;
};

TEST(MatchPatternTest, WildcardsAndLetterCase) {
    const PatternCase cases[] = {
        {"a?c", "a.c", 0},          {"a?c", "abc", 1},           {"*.TXT", "notes.txt", 1},
        {"*.*", "README", 1},       {"*.*", "", 1},              {"*", "", 1},
        {"", "", 1},                {"", "a", 0},                {"abc", "ab", 0},
        {"ab", "abc", 0},           {"**b", "aab", 1},           {"a*", "a", 1},
        {"*b*", "xxbyy", 1},        {"*ab", "aab", 1},           {"*ab", "abab", 1},
        {"*a?c", "xa.cabc", 1},     {"*.png", "x.PNG.bak", 0},   {"l?vel*.DAT", "Level07.dat", 1},
        {"?", ".", 0},              {"*[1]", "x[1]", 1},
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(MatchPattern(c.pattern, c.name), c.matches) << c.pattern << " against " << c.name;
}

TEST_F(Directories, CopyFileCopiesDiskAndMemorySourcesWhole) {
    const std::string noise = Noise(10000);
    WriteWholeFile(File("source.bin"), noise);
    WriteWholeFile(File("target.bin"), "an older and longer target file than needed");
    ASSERT_EQ(chmod(File("target.bin").c_str(), 0640), 0);
    CopyFile("SOURCE.BIN", "target.bin");
    EXPECT_EQ(ReadWholeFile(File("target.bin")), noise);
    struct stat info;
    ASSERT_EQ(stat(File("target.bin").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);

    const BasicString memory = MemoryFileName(noise.data(), 5000);
    CopyFile(memory, "fresh.bin");
    EXPECT_EQ(ReadWholeFile(File("fresh.bin")), noise.substr(0, 5000));
    EXPECT_EQ(EntriesOf(path()), (std::set<std::string>{"fresh.bin", "source.bin", "target.bin"}));
}

TEST_F(Directories, AFailedCopyLeavesTheOldDestinationAsItWas) {
    WriteWholeFile(File("source.bin"), Noise(9000));
    for (WriteFault fault : kAllWriteFaults) {
        WriteWholeFile(File("save.bin"), "the old save");
        InjectWriteFault(fault);
        OutputCapture output;
        CopyFile("source.bin", "save.bin");
        EXPECT_EQ(output.Finish(), "can't write to file: save.bin\n") << FaultName(fault);
        ResetStorageFileCalls();
        EXPECT_EQ(ReadWholeFile(File("save.bin")), "the old save") << FaultName(fault);
        EXPECT_EQ(EntriesOf(path()), (std::set<std::string>{"save.bin", "source.bin"})) << FaultName(fault);
    }

    // A missing source touches nothing; a destination folder that does not exist is reported.
    OutputCapture output;
    CopyFile("missing.bin", "save.bin");
    CopyFile("source.bin", "no_folder/save.bin");
    EXPECT_EQ(output.Finish(), "request: fopen(\"missing.bin\", \"rb\") failed\n"
                               "wrt-request: fopen(\"no_folder/save.bin\", \"wb\") failed\n\n"
                               "can't write to file: no_folder/save.bin\n");
    EXPECT_EQ(ReadWholeFile(File("save.bin")), "the old save");
}

}  // namespace
