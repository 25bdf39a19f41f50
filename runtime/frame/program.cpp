// Command line, settings, end state and the end requests.
#include "frame/program.h"

#include "frame/finish.h"

StartupSettings g_startup_settings;
EndState g_end_state;
BasicString CommandLine;

void BuildCommandLine(int argc, char** argv) {
    for (int i = 0; i < argc; ++i) {
        CommandLine.Append(argv[i]);
        CommandLine.Append(" ");
    }
}

BasicString GetCommandLine() { return CommandLine; }

void SetEndReason(float code) {
    g_end_state.end_reason = code;
    g_end_state.end_line = g_end_state.current_line;
}

void SetSourcePosition(int32_t module, int32_t line) {
    g_end_state.current_module = static_cast<float>(module);
    g_end_state.current_line = static_cast<float>(line);
}

void EndProgram() {
    SetEndReason(0);
    FinishProgram();
}

void RaiseRuntimeError(int32_t code) {
    SetEndReason(static_cast<float>(code));
    FinishProgram();
}
