// Runs code expected to end the program with a runtime error, in a child process, and reads back the end
// report the finish prints in debug mode.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "frame/program.h"
#include "frame/system_calls.h"
#include "support/process_runner.h"

// The source position set before body runs, and the end report it gives for an error raised there:
// "<reason>.<line-1>.<line>.<module>.".
constexpr int32_t kProbeModule = 2;
constexpr int32_t kProbeLine = 41;

inline std::string EndReportFor(int32_t reason) {
    return "-End On Line\n" + std::to_string(reason) + "." + std::to_string(kProbeLine - 1) + "." +
           std::to_string(kProbeLine) + "." + std::to_string(kProbeModule) + ".";
}

// Runs body in a child with debug mode on. The shell and the launcher are replaced so that the finish neither
// syncs the disks nor finds a launcher; "body returned" is printed when body comes back instead of ending.
inline ProcessResult RunExpectingEnd(const std::function<void()>& body) {
    return RunInChild([&] {
        System().run_shell = [](const char*) { return 0; };
        System().exec_program = [](const char*, const char*) { return -1; };
        g_startup_settings.debug_mode = 1;
        SetSourcePosition(kProbeModule, kProbeLine);
        body();
        printf("body returned\n");
    });
}

// The body may contain commas; it runs as the statements of a lambda.
#define EXPECT_RUNTIME_ERROR(code, ...)                                                    \
    do {                                                                                   \
        const ProcessResult ended_ = RunExpectingEnd([&] { __VA_ARGS__; });                \
        EXPECT_EQ(ended_.exit_status, 0) << ended_.output << ended_.errors;                \
        EXPECT_EQ(ended_.output.find("body returned"), std::string::npos) << ended_.output; \
        EXPECT_NE(ended_.output.find(EndReportFor(code)), std::string::npos)              \
            << "expected end report for " << (code) << ", got: " << ended_.output;         \
    } while (0)
