// The process entry and the top-level sequence. Kept in its own file so that test executables, which bring
// their own main, never pull it out of the library.
#include "frame/finish.h"
#include "frame/program.h"
#include "frame/startup.h"

void RunProgram() {
    g_startup_settings = StartupSettings();
    RuntimeStartup("Lumora");
    g_end_state.end_line = 0;
    g_end_state.current_line = 0;
    g_end_state.end_reason = 0;
    ApplicationMain();
    FinishProgram();
}

int main(int argc, char** argv) {
    BuildCommandLine(argc, argv);
    RunProgram();
    return 0;
}
