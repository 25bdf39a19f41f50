// Closing channels and saving the stores at the end of the program.
#include "files/storage_exit.h"

#include <cstdlib>

#include "files/file_channels.h"
#include "files/ini_files.h"
#include "files/line_files.h"

namespace {

bool g_exit_handler_registered = false;

// The line file is only written back here, not switched to an empty name: loading "" would record a
// missing file (end reason 3) after the end report.
void StorageAtExit() {
    CloseAllChannels();
    FinishIniTable(true);
    FinishLineFile(true);
}

}  // namespace

void FinishStorage() {
    CloseAllChannels();
    FinishIniTable(false);
    FinishLineFile(false);
}

void EnsureStorageExitHandler() {
    if (g_exit_handler_registered) return;
    g_exit_handler_registered = true;
    atexit(StorageAtExit);
}
