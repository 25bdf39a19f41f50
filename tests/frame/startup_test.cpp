// Finding the executable and its directory, with the /proc link replaced.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "frame/startup.h"
#include "frame/system_calls.h"
#include "support/process_runner.h"

namespace {

class LocateExecutableTest : public ::testing::Test {
protected:
    void TearDown() override {
        ResetSystemCalls();
        if (had_underscore_) {
            setenv("_", saved_underscore_.c_str(), 1);
        } else {
            unsetenv("_");
        }
    }
    void SetUp() override {
        const char* underscore = getenv("_");
        had_underscore_ = underscore != nullptr;
        if (had_underscore_) saved_underscore_ = underscore;
    }

    bool had_underscore_ = false;
    std::string saved_underscore_;
};

ssize_t NoProc(const char*, char*, size_t) { return -1; }

// A link as long as the whole read: it may have been cut, so it must not be used.
ssize_t OverlongLink(const char*, char* buffer, size_t size) {
    memset(buffer, 'x', size);
    buffer[0] = '/';
    return static_cast<ssize_t>(size);
}

TEST_F(LocateExecutableTest, TheProcLinkNamesTheRunningProgram) {
    BasicString path;
    LocateExecutable(path);
    char expected[4096];
    const ssize_t count = readlink("/proc/self/exe", expected, sizeof(expected) - 1);
    ASSERT_GT(count, 0);
    expected[count] = 0;
    EXPECT_STREQ(path.c_str(), expected);
    EXPECT_EQ(path.length(), static_cast<uint32_t>(count));
}

TEST_F(LocateExecutableTest, FallsBackToTheUnderscoreVariableThenToTheCurrentFolder) {
    TemporaryDirectory folder;
    const std::string game = folder.File("game");
    WriteWholeFile(game, "x");
    struct Case {
        ssize_t (*read_link)(const char*, char*, size_t);
        const char* underscore;  // null: unset
        std::string expected;
    };
    char resolved[4096];
    ASSERT_NE(realpath(game.c_str(), resolved), nullptr);
    const Case cases[] = {
        {NoProc, nullptr, "./"},
        {NoProc, "", "./"},
        {NoProc, "/no/such/file", "./"},
        {NoProc, game.c_str(), resolved},
        {OverlongLink, nullptr, "./"},
        {OverlongLink, game.c_str(), resolved},
    };
    for (const Case& c : cases) {
        System().read_link = c.read_link;
        if (c.underscore == nullptr) {
            unsetenv("_");
        } else {
            setenv("_", c.underscore, 1);
        }
        BasicString path;
        LocateExecutable(path);
        EXPECT_EQ(std::string(path.c_str()), c.expected) << (c.underscore ? c.underscore : "(unset)");
        EXPECT_EQ(path.length(), c.expected.size());
    }
}

TEST(CutToDirectory, EndsBeforeTheLastSeparator) {
    struct Case {
        const char* path;
        const char* directory;
    };
    const Case cases[] = {
        {"/mnt/sd/app/prog", "/mnt/sd/app"},
        {"C:\\games\\prog", "C:\\games"},
        {"/mnt/sd\\app/prog\\x", "/mnt/sd\\app/prog"},
        {"./", "."},
        {"prog", "prog"},
        {"/prog", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        BasicString path(c.path);
        CutToDirectory(path);
        EXPECT_STREQ(path.c_str(), c.directory) << c.path;
        EXPECT_EQ(path.length(), strlen(c.directory));
    }
}

}  // namespace
