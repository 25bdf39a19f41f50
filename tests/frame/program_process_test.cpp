// Whole programs from outside: start-up lines, the working directory, the command line, the end report, the
// exit handler and the launcher that replaces the finished program.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/process_runner.h"

namespace {

// Headless, no button device, no terminal (so "clear" writes nothing to standard output).
std::vector<std::string> ProbeEnvironment(const std::string& mode) {
    return {"KORVANE_PROBE=" + mode, "KORVANE_GPIO=", "TERM=", "SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy",
            "KORVANE_PROBE_DEBUG=", "KORVANE_PROBE_LINE="};
}

std::vector<std::string> With(std::vector<std::string> environment, const std::vector<std::string>& more) {
    environment.insert(environment.end(), more.begin(), more.end());
    return environment;
}

// A copy of the probe program in its own folder, so that its directory is known and launchers can be put
// beside it.
struct ProbeCopy {
    TemporaryDirectory folder;
    std::string program = folder.File("probe");
    ProbeCopy() { CopyFileTo(TestProgramPath("frame_probe"), program); }
};

size_t Occurrences(const std::string& text, const std::string& piece) {
    size_t count = 0;
    for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1)) ++count;
    return count;
}

TEST(StartupOutput, ProgressLinesInOrderWithTheVideoLinesBetweenTheFirstTwo) {
    ProbeCopy probe;
    const std::string killall_log = probe.folder.File("killall.log");
    const ProcessResult result =
        RunProgram({probe.program}, With(ProbeEnvironment("end"), {"KORVANE_KILLALL_LOG=" + killall_log}));
    // Start-up stopped the console's launcher (through the tests' stand-in killall).
    EXPECT_EQ(ReadWholeFile(killall_log), "-9 gp2xmenu\n");
    ASSERT_EQ(result.exit_status, 0) << result.output << result.errors;
    const std::vector<std::string> lines = SplitLines(result.output);
    const std::vector<std::string> opening = {"Init GFX", "Set Vidmode", "Screen BPP: 16", "", "FBO",
                                              "Viewport", "GFX seem OK", "Init Network", "Init Input",
                                              "Init Sound", "Init Window"};
    ASSERT_GE(lines.size(), opening.size());
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + opening.size()), opening) << result.output;
    // The button device is missing: its message, then a failed read at the "Loading..." frame.
    EXPECT_EQ(lines[opening.size()].rfind("GPIO device not presentGPIO READ ERROR", 0), 0u) << result.output;
    const auto finalized = std::find(lines.begin(), lines.end(), "Init Finalized");
    ASSERT_NE(finalized, lines.end());
    // The application runs only after start-up has finished.
    ASSERT_NE(finalized + 1, lines.end());
    EXPECT_EQ(finalized[1].rfind("cwd=", 0), 0u);
}

TEST(StartupOutput, WorkingDirectoryBecomesTheExecutablesDirectory) {
    ProbeCopy probe;
    const ProcessResult result = RunProgram({probe.program}, ProbeEnvironment("end"), "/");
    ASSERT_EQ(result.exit_status, 0);
    EXPECT_NE(result.output.find("cwd=" + probe.folder.path() + "\n"), std::string::npos) << result.output;
}

TEST(CommandLineText, EveryArgumentFollowedByOneBlank) {
    ProbeCopy probe;
    struct Case {
        std::vector<std::string> arguments;
        std::string expected_tail;
    };
    const std::vector<Case> cases = {
        {{}, " "},
        {{"-a", "x"}, " -a x "},
        {{"two words", ""}, " two words  "},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv = {probe.program};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const ProcessResult result = RunProgram(argv, ProbeEnvironment("end"));
        ASSERT_EQ(result.exit_status, 0);
        EXPECT_NE(result.output.find("cmdline=[" + probe.program + c.expected_tail + "]\n"), std::string::npos)
            << result.output;
    }
}

TEST(CommandLineText, ManyLongArgumentsAreKeptWhole) {
    ProbeCopy probe;
    std::vector<std::string> argv = {probe.program};
    std::string expected = probe.program + " ";
    for (int i = 0; i < 300; ++i) {
        argv.push_back(std::string(2000, static_cast<char>('a' + i % 26)));
        expected += argv.back() + " ";
    }
    const ProcessResult result = RunProgram(argv, ProbeEnvironment("end"));
    ASSERT_EQ(result.exit_status, 0);
    EXPECT_NE(result.output.find("cmdline=[" + expected + "]\n"), std::string::npos);
}

TEST(EndReport, PrintedOnceInDebugModeWithReasonAndLines) {
    ProbeCopy probe;
    struct Case {
        std::string mode;
        std::string report;
        int exit_status;
    };
    const Case cases[] = {
        {"end", "-End On Line\n0.41.42.1.", 0},
        {"error", "-End On Line\n9.41.42.1.", 0},
        // Returning from the application finishes without recording an end line.
        {"return", "-End On Line\n0.-1.42.1.", 0},
        // An exit from the application runs the finish as the exit handler and keeps its own status.
        {"exit", "-End On Line\n0.-1.42.1.", 3},
    };
    for (const Case& c : cases) {
        const ProcessResult result =
            RunProgram({probe.program}, With(ProbeEnvironment(c.mode), {"KORVANE_PROBE_DEBUG=1",
                                                                         "KORVANE_PROBE_LINE=42"}));
        EXPECT_EQ(result.exit_status, c.exit_status) << c.mode;
        EXPECT_EQ(Occurrences(result.output, "-End On Line"), 1u) << c.mode << result.output;
        EXPECT_NE(result.output.find(c.report), std::string::npos) << c.mode << "\n" << result.output;
        EXPECT_EQ(result.output.substr(result.output.size() - 2), "1.") << c.mode;
    }
}

TEST(EndReport, NothingWithoutDebugMode) {
    ProbeCopy probe;
    const ProcessResult result = RunProgram({probe.program}, With(ProbeEnvironment("end"), {"KORVANE_PROBE_LINE=7"}));
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.output.find("-End On Line"), std::string::npos);
}

TEST(Launcher, FirstPresentNameStartsWithItsArgumentZero) {
    struct Case {
        std::vector<std::string> present;
        std::string started_as;
    };
    const std::vector<Case> cases = {
        {{"gp2xmenu.pge", "gp2xmenu.pgu", "gp2xmenu"}, "gp2xmenu.gpe"},
        {{"gp2xmenu.pgu", "gp2xmenu"}, "gp2xmenu.gpu"},
        {{"gp2xmenu"}, "gp2xmenu"},
        // The argument zero does not name the file: a file called gp2xmenu.gpe is not a launcher.
        {{"gp2xmenu.gpe"}, ""},
    };
    for (const Case& c : cases) {
        ProbeCopy probe;
        for (const std::string& name : c.present) CopyFileTo(TestProgramPath("launcher_stub"), probe.folder.File(name));
        const std::string log = probe.folder.File("launcher.log");
        const ProcessResult result =
            RunProgram({probe.program}, With(ProbeEnvironment("end"), {"KORVANE_LAUNCHER_LOG=" + log}), "/");
        if (c.started_as.empty()) {
            EXPECT_EQ(result.exit_status, 0);
            EXPECT_EQ(ReadWholeFile(log), "");
        } else {
            EXPECT_EQ(result.exit_status, 77) << c.started_as << result.output;
            EXPECT_EQ(ReadWholeFile(log), c.started_as + " " + probe.folder.path() + "\n");
        }
        // Output written before the launcher replaced the process is not lost.
        EXPECT_NE(result.output.find("Init Finalized"), std::string::npos) << c.started_as;
    }
}

TEST(Launcher, RunAtEndStartsTheGivenProgramOrReportsAndFinishes) {
    ProbeCopy probe;
    const std::string target = probe.folder.File("next_program");
    CopyFileTo(TestProgramPath("launcher_stub"), target);
    const std::string log = probe.folder.File("launcher.log");
    const ProcessResult started = RunProgram(
        {probe.program},
        With(ProbeEnvironment("run_at_end"), {"KORVANE_PROBE_TARGET=" + target, "KORVANE_LAUNCHER_LOG=" + log}));
    EXPECT_EQ(started.exit_status, 77);
    EXPECT_NE(started.output.find("end with: " + target + "\n"), std::string::npos) << started.output;
    EXPECT_EQ(ReadWholeFile(log), target + " " + probe.folder.path() + "\n");

    const std::string missing = probe.folder.File("no_such_program");
    const ProcessResult failed =
        RunProgram({probe.program}, With(ProbeEnvironment("run_at_end"), {"KORVANE_PROBE_TARGET=" + missing}));
    EXPECT_EQ(failed.exit_status, 0);
    EXPECT_NE(failed.output.find("end with: " + missing + "\nfailed to call: " + missing + "\n"), std::string::npos)
        << failed.output;
}

}  // namespace
