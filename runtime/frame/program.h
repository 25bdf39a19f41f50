// The spine of a program: its command line, start-up settings, end state, and the calls that ask for the end.
//
// The runtime provides `main`: it joins the arguments into CommandLine and runs RunProgram, which starts the
// runtime, runs the application's own ApplicationMain and finishes. An application defines ApplicationMain
// and ends through EndProgram (or by returning from ApplicationMain).
#pragma once

#include <cstdint>

#include "text/basic_string.h"

struct StartupSettings {
    int32_t screen_width = 320;
    int32_t screen_height = 240;
    int32_t fullscreen = 1;
    int32_t frame_rate = 60;
    int32_t debug_mode = 0;
    int32_t grab_input = 0;
};

struct EndState {
    float end_reason = 0;
    float end_line = 0;
    float current_line = 0;
    float current_module = 0;
};

// Runtime error codes passed to SetEndReason.
enum RuntimeErrorCode : int32_t {
    kEndNormal = 0,
    kErrorChannelTransfer = 3,
    kErrorChannelNumberOrAllocation = 7,
    kErrorAppendToMultiDimensional = 8,
    kErrorArrayIndex = 9,
    kErrorDataExhausted = 20,
};

extern StartupSettings g_startup_settings;
extern EndState g_end_state;
extern BasicString CommandLine;

// Provided by the application.
void ApplicationMain();

// Writes the defaults, starts the runtime, runs ApplicationMain and finishes. Does not return.
void RunProgram();
// Builds CommandLine from the process arguments: each argument followed by one blank.
void BuildCommandLine(int argc, char** argv);

BasicString GetCommandLine();
// The normal end: end reason 0, then FinishProgram.
void EndProgram();
void SetEndReason(float code);
void SetSourcePosition(int32_t module, int32_t line);
// A fatal runtime error: SetEndReason(code), then FinishProgram.
void RaiseRuntimeError(int32_t code);
