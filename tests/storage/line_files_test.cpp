// Line files: reading lines with their end reasons and fixed words, writing lines back at a switch and at
// exit, long lines, many lines, and a write-back that fails on the way.
#include "files/line_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "frame/program.h"
#include "storage/storage_fixtures.h"

namespace {

class LineFiles : public StorageFolderTest {
protected:
    LineFiles() : store_(new LineFile()) { ClearLineFile(*store_); }
    std::unique_ptr<LineFile> store_;
};

// Runs body in a child; what it prints comes back, and the child's exit writes the store back.
ProcessResult InChild(const std::function<void()>& body) {
    return RunInChild([&] {
        body();
        fflush(stdout);
    });
}

TEST_F(LineFiles, ReadsLinesWithTheirEndReasons) {
    WriteWholeFile(File("s.txt"), "ab\t\r\ncd");
    WriteWholeFile(File("tabs.txt"), "\t\t");
    const ProcessResult result = InChild([] {
        // Each result is taken before the end reason it may set is printed.
        auto show = [](const char* name, float line) {
            const BasicString text = ReadFileLine(name, line);
            printf("[%s] %d\n", text.c_str(), static_cast<int>(g_end_state.end_reason));
            SetEndReason(0);
        };
        show("s.txt", 0);
        show("s.txt", 1.9f);
        show("s.txt", 2);
        show("s.txt", 256);
        show("s.txt", -1);
        show("tabs.txt", 0);
        show("nothing.txt", 0);
        // The store keeps the missing file's name: a second read finds the empty store.
        show("nothing.txt", 0);
    });
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_EQ(result.output,
              "[ab] 0\n[cd] 0\n[NO_DATA] 0\n"
              "[NO_DATA] 7\n"
              "[NO_DATA] 7\n"
              "[NO_DATA] 0\n"
              "request: fopen(\"nothing.txt\", \"rb\") failed\n"
              "[NO_FILE] 3\n"
              "[NO_DATA] 0\n");
    // Nothing was written, so nothing is written back.
    EXPECT_EQ(ReadWholeFile(File("s.txt")), "ab\t\r\ncd");
    EXPECT_FALSE(FileExistsOnDisk(File("nothing.txt")));
}

TEST_F(LineFiles, AWrittenLineCreatesTheFileAtExit) {
    const ProcessResult result = InChild([] {
        WriteFileLine("new.txt", 2, "x");
        WriteFileLine("numbers.txt", 0, int32_t{42});
        WriteFileLine("numbers.txt", 1, 0.5f);
        WriteFileLine("numbers.txt", 300, "never");
        const int reason = static_cast<int>(g_end_state.end_reason);
        const int32_t whole = ReadFileLineToInt("numbers.txt", 0);
        const float half = ReadFileLineToFloat("numbers.txt", 1);
        printf("%d %d %g\n", reason, whole, half);
    });
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_NE(result.output.find("7 42 0.5\n"), std::string::npos) << result.output;
    EXPECT_EQ(ReadWholeFile(File("new.txt")), "\r\n\r\nx\r\n");
    EXPECT_EQ(ReadWholeFile(File("numbers.txt")), "42\r\n.5\r\n");
}

TEST_F(LineFiles, LineEndsOfEveryKindReadAlike) {
    const char* texts[] = {"one\ntwo\nthree", "one\ntwo\nthree\n", "one\r\ntwo\r\nthree", "one\r\ntwo\r\nthree\r\n"};
    for (const char* text : texts) {
        WriteWholeFile(File("lines.txt"), text);
        ClearLineFile(*store_);
        store_->file_name.Clear();
        ASSERT_TRUE(SwitchLineFile(*store_, "lines.txt"));
        EXPECT_STREQ(store_->lines[0], "one") << text;
        EXPECT_STREQ(store_->lines[1], "two") << text;
        EXPECT_STREQ(store_->lines[2], "three") << text;
        EXPECT_STREQ(store_->lines[3], "") << text;
        EXPECT_EQ(store_->last_line, 2) << text;
    }
}

TEST_F(LineFiles, SwitchingWritesBackOnlyAChangedStore) {
    WriteWholeFile(File("a.txt"), "a0\r\na1\r\na2\r\n");
    WriteWholeFile(File("b.txt"), "b0\n");
    ASSERT_TRUE(SwitchLineFile(*store_, "a.txt"));
    // Unchanged: switching away leaves the file alone, even one changed behind the store's back.
    WriteWholeFile(File("a.txt"), "edited elsewhere\n");
    ASSERT_TRUE(SwitchLineFile(*store_, "b.txt"));
    EXPECT_EQ(ReadWholeFile(File("a.txt")), "edited elsewhere\n");

    ASSERT_TRUE(SwitchLineFile(*store_, "a.txt"));
    // Only the exact name is the same file: another letter case reloads (and finds the same file).
    strcpy(store_->lines[0], "first");
    store_->changed = 1;
    ASSERT_TRUE(SwitchLineFile(*store_, "A.TXT"));
    EXPECT_EQ(ReadWholeFile(File("a.txt")), "first\r\n");
    EXPECT_STREQ(store_->lines[0], "first");
}

TEST_F(LineFiles, LongLinesAndLongFilesStayInsideTheStore) {
    std::string text = std::string(1500, 'L') + "\n";
    for (int i = 0; i < 300; ++i) text += "line " + std::to_string(i) + "\n";
    WriteWholeFile(File("big.txt"), text);
    ASSERT_TRUE(SwitchLineFile(*store_, "big.txt"));
    // A 1024-byte piece keeps 1023 bytes; the rest of the long line is the next line.
    EXPECT_EQ(std::string(store_->lines[0]), std::string(1023, 'L'));
    EXPECT_EQ(std::string(store_->lines[1]), std::string(476, 'L'));
    EXPECT_STREQ(store_->lines[255], "line 253");
    EXPECT_EQ(store_->last_line, 255);

    const ProcessResult result = InChild([] { WriteFileLine("long.txt", 0, std::string(2000, 'w').c_str()); });
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_EQ(ReadWholeFile(File("long.txt")), std::string(1023, 'w') + "\r\n");
}

TEST_F(LineFiles, AFailedWriteBackKeepsTheOldSaveData) {
    for (WriteFault fault : kAllWriteFaults) {
        WriteWholeFile(File("save.txt"), "level 3\r\nscore 10\r\n");
        store_->file_name.Clear();
        ASSERT_TRUE(SwitchLineFile(*store_, "save.txt"));
        strcpy(store_->lines[1], "score 99");
        store_->changed = 1;
        InjectWriteFault(fault);
        OutputCapture output;
        EXPECT_FALSE(WriteBackLineFile(*store_)) << FaultName(fault);
        EXPECT_EQ(output.Finish(), "can't write to file: save.txt\n") << FaultName(fault);
        ResetStorageFileCalls();
        EXPECT_EQ(ReadWholeFile(File("save.txt")), "level 3\r\nscore 10\r\n") << FaultName(fault);
        EXPECT_TRUE(WriteBackLineFile(*store_)) << FaultName(fault);
        EXPECT_EQ(ReadWholeFile(File("save.txt")), "level 3\r\nscore 99\r\n") << FaultName(fault);
    }
}

}  // namespace
