// A program for the frame's tests: after start-up it does what KORVANE_PROBE asks, so that tests can watch the
// command line, the working directory, the end report and the ways out of a program from outside.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "frame/finish.h"
#include "frame/program.h"

void ApplicationMain() {
    const char* probe = getenv("KORVANE_PROBE");
    const char* mode = probe != nullptr ? probe : "";
    char directory[4096];
    printf("cwd=%s\n", getcwd(directory, sizeof(directory)) != nullptr ? directory : "?");
    printf("cmdline=[%s]\n", GetCommandLine().c_str());
    if (getenv("KORVANE_PROBE_DEBUG") != nullptr) g_startup_settings.debug_mode = 1;
    if (getenv("KORVANE_PROBE_LINE") != nullptr) SetSourcePosition(1, atoi(getenv("KORVANE_PROBE_LINE")));
    fflush(stdout);
    if (strcmp(mode, "end") == 0) EndProgram();
    if (strcmp(mode, "error") == 0) RaiseRuntimeError(9);
    if (strcmp(mode, "exit") == 0) exit(3);
    if (strcmp(mode, "run_at_end") == 0) RunAtEnd(BasicString(getenv("KORVANE_PROBE_TARGET")));
    // Any other mode returns, and the program finishes as every application that returns does.
}
