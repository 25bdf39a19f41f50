// Shell commands (the background form, the raw status, the full-screen flag) and text written to standard
// output and standard error.
#include "platform/shell_commands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "frame/system_calls.h"
#include "support/process_runner.h"
#include "video/screen.h"
#include "video/video_context.h"

namespace {

struct ShellCall {
    std::string command;
    int32_t fullscreen_during = -1;
    int calls = 0;
};
ShellCall g_shell_call;
int g_shell_status = 0;

int RecordShell(const char* command) {
    g_shell_call.command = command;
    g_shell_call.fullscreen_during = IsFullscreen();
    ++g_shell_call.calls;
    return g_shell_status;
}

class ShellCommandSeam : public ::testing::Test {
protected:
    void SetUp() override {
        g_shell_call = ShellCall();
        System().run_shell = RecordShell;
    }
    void TearDown() override {
        ResetSystemCalls();
        delete g_video_context;
        g_video_context = nullptr;
    }
};

TEST_F(ShellCommandSeam, NoWaitAppendsTheBackgroundMarkToTheCallersCommand) {
    struct Case {
        float wait;
        const char* command_after;
    };
    const Case cases[] = {
        {0.0f, "echo hi &"}, {-0.0f, "echo hi &"}, {1.0f, "echo hi"}, {0.5f, "echo hi"}, {-1.0f, "echo hi"},
    };
    for (const Case& c : cases) {
        g_shell_call = ShellCall();
        BasicString command("echo hi");
        float result = -1.0f;
        EXPECT_EQ(ShellCommand(command, c.wait, result), 1.0f);
        EXPECT_STREQ(command.c_str(), c.command_after) << c.wait;
        EXPECT_EQ(g_shell_call.command, c.command_after) << c.wait;
        EXPECT_EQ(g_shell_call.calls, 1);
    }
}

TEST_F(ShellCommandSeam, ResultIsTheRawStatusAndFullScreenIsClearedOnlyWhileTheCommandRuns) {
    g_video_context = new RevuDIVavuduri();
    struct Case {
        int32_t fullscreen_before;
        int status;
    };
    const Case cases[] = {{1, 768}, {0, 0}, {1, -1}, {0, 32512}};
    for (const Case& c : cases) {
        SetFullscreenFlag(c.fullscreen_before);
        g_shell_status = c.status;
        BasicString command("true");
        float result = 12345.0f;
        ShellCommand(command, 1.0f, result);
        EXPECT_EQ(result, static_cast<float>(c.status));
        EXPECT_EQ(g_shell_call.fullscreen_during, 0);
        EXPECT_EQ(IsFullscreen(), c.fullscreen_before);
    }
    // Without a video context there is no flag to keep, and the command still runs.
    delete g_video_context;
    g_video_context = nullptr;
    g_shell_status = 5;
    BasicString command("true");
    float result = 0.0f;
    EXPECT_EQ(ShellCommand(command, 1.0f, result), 1.0f);
    EXPECT_EQ(result, 5.0f);
}

TEST(ShellCommandRuns, WaitingRunsTheCommandToItsEndAndGivesItsStatus) {
    TemporaryDirectory folder;
    BasicString command(("touch " + folder.File("made") + "; exit 3").c_str());
    float result = 0.0f;
    EXPECT_EQ(ShellCommand(command, 1.0f, result), 1.0f);
    EXPECT_EQ(result, 768.0f);
    EXPECT_EQ(access(folder.File("made").c_str(), F_OK), 0);
}

TEST(ShellCommandRuns, NoWaitReturnsWhileTheCommandRunsOn) {
    TemporaryDirectory folder;
    const std::string go = folder.File("go"), done = folder.File("done");
    // The command cannot finish before the test lets it: it waits for "go" (giving up after about 20 s, so a
    // command wrongly run in the foreground ends the test instead of hanging it).
    const std::string script = "(i=0; while [ ! -e " + go + " ] && [ $i -lt 400 ]; do sleep 0.05; i=$((i+1)); done; touch " +
                               done + ") >/dev/null 2>&1";
    BasicString command(script.c_str());
    float result = -1.0f;
    EXPECT_EQ(ShellCommand(command, 0.0f, result), 1.0f);
    EXPECT_EQ(result, 0.0f);
    EXPECT_NE(access(done.c_str(), F_OK), 0) << "the command ran to its end before ShellCommand returned";
    WriteWholeFile(go, "");
    bool finished = false;
    for (int i = 0; i < 400 && !finished; ++i) {
        finished = access(done.c_str(), F_OK) == 0;
        if (!finished) usleep(50000);
    }
    EXPECT_TRUE(finished) << "the background command never finished";
}

TEST(TextOutput, WritesTheTextAsItIsToEachStream) {
    const ProcessResult result = RunInChild([] {
        WriteStdout(BasicString("100% %d %s"));
        WriteStdout(BasicString(""));
        WriteStdout(BasicString(" no line end"));
        WriteStderr(BasicString("warning: %n\n"));
        WriteStderr(BasicString("\xe9t\xe9"));
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.output, "100% %d %s no line end");
    EXPECT_EQ(result.errors, "warning: %n\n\xe9t\xe9");
}

}  // namespace
