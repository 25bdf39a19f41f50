// Case-insensitive resolution and the opener built on it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "files/case_paths.h"
#include "files_fixtures.h"

namespace {

class CasePathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        mkdir("DATA", 0755);
        mkdir("gfx", 0755);
        WriteWholeFile("DATA/pic.png", "picture");
        WriteWholeFile("gfx/hero.png", "hero in gfx");
        WriteWholeFile("hero.png", "hero here");
        WriteWholeFile("Same.txt", "upper");
        WriteWholeFile("same.txt", "lower");
    }
    ScratchFolder scratch_;
};

struct ResolveCase {
    const char* requested;
    const char* expected;  // null: not found
};

TEST_F(CasePathsTest, FindCaseInsensitiveCorrectsOnlyTheLastComponent) {
    const ResolveCase cases[] = {
        {"DATA/Pic.PNG", "DATA/pic.png"},
        {"DATA/pic.png", "DATA/pic.png"},
        {"data/pic.png", nullptr},  // the folder's own name is not corrected
        {"./gfx/Hero.png", "./gfx/hero.png"},
        {"HERO.PNG", "hero.png"},
        {"hero.png", "hero.png"},
        {"Same.txt", "Same.txt"},  // the exact name wins over another case
        {"missing.png", nullptr},
        {"nofolder/pic.png", nullptr},
    };
    for (const ResolveCase& c : cases) {
        BasicString out("stale");
        const int found = FindCaseInsensitive(c.requested, out);
        if (c.expected == nullptr) {
            EXPECT_EQ(found, 0) << c.requested;
            EXPECT_STREQ(out.c_str(), "") << c.requested;
        } else {
            EXPECT_EQ(found, 1) << c.requested;
            EXPECT_STREQ(out.c_str(), c.expected) << c.requested;
        }
    }
}

TEST_F(CasePathsTest, AbsolutePathsResolveUnderTheirFolderAndUnderTheRoot) {
    BasicString out;
    ASSERT_EQ(FindCaseInsensitive((scratch_.path() + "/DATA/PIC.png").c_str(), out), 1);
    EXPECT_EQ(std::string(out.c_str()), scratch_.path() + "/DATA/pic.png");
    // A name right under the root has an empty folder part, which means "/".
    ASSERT_EQ(FindCaseInsensitive("/ETC", out), 1);
    EXPECT_STREQ(out.c_str(), "/etc");
}

TEST_F(CasePathsTest, OpenRequestedFileReadsTheCaseCorrectedFile) {
    StdoutCapture capture;
    FILE* file = OpenRequestedFile("DATA/Pic.PNG", "rb");
    ASSERT_NE(file, nullptr);
    char text[16] = {0};
    EXPECT_EQ(fread(text, 1, sizeof(text) - 1, file), 7u);
    fclose(file);
    EXPECT_STREQ(text, "picture");
    EXPECT_EQ(capture.Finish(), "");
}

TEST_F(CasePathsTest, WritingModesCreateUnderTheExactNameAndReadingFails) {
    {
        StdoutCapture capture;
        EXPECT_EQ(OpenRequestedFile("new.txt", "rb"), nullptr);
        EXPECT_EQ(capture.Finish(), "request: fopen(\"new.txt\", \"rb\") failed\n");
    }
    StdoutCapture capture;
    FILE* file = OpenRequestedFile("new.txt", "wb");
    ASSERT_NE(file, nullptr);
    fputs("one", file);
    fclose(file);
    // Appending by another case finds the file just made instead of creating a second one.
    file = OpenRequestedFile("NEW.TXT", "ab");
    ASSERT_NE(file, nullptr);
    fputs("two", file);
    fclose(file);
    EXPECT_EQ(capture.Finish(), "");
    EXPECT_EQ(ReadWholeFile("new.txt"), "onetwo");
    struct stat info;
    EXPECT_NE(stat("NEW.TXT", &info), 0);
}

TEST_F(CasePathsTest, FailedOpensPrintTheirMessages) {
    {
        StdoutCapture capture;
        EXPECT_EQ(OpenRequestedFile("nofolder/x.txt", "wb"), nullptr);
        EXPECT_EQ(capture.Finish(), "wrt-request: fopen(\"nofolder/x.txt\", \"wb\") failed\n\n");
    }
    {
        // "Data" resolves to the folder "DATA", which cannot be opened for writing.
        StdoutCapture capture;
        EXPECT_EQ(OpenRequestedFile("Data", "wb"), nullptr);
        EXPECT_EQ(capture.Finish(), "request: fopen_case(\"Data\", \"wb\") opens \"DATA\": failed\n");
    }
}

}  // namespace
