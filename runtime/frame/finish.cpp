// Finish, shutdown and the launcher.
#include "frame/finish.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "files/pack_source.h"
#include "files/storage_exit.h"
#include "frame/program.h"
#include "frame/startup.h"
#include "frame/system_calls.h"
#include "input/input_device.h"
#include "net/net_session.h"
#include "scene3d/scene.h"
#include "sound/sound_device.h"
#include "video/snapshot.h"
#include "video/video_context.h"

namespace {

bool g_finish_under_way = false;

void PrintEndReport() {
    puts("-End On Line");
    printf("%d.", static_cast<int>(g_end_state.end_reason));
    printf("%d.", static_cast<int>(g_end_state.end_line) - 1);
    printf("%d.", static_cast<int>(g_end_state.current_line));
    printf("%d.", static_cast<int>(g_end_state.current_module));
}

// Each attempt replaces the process when it works. Output still buffered would be lost with the old process
// image, so it is flushed first.
void StartLauncher(const char* file, const char* arg0) {
    fflush(stdout);
    System().exec_program(file, arg0);
}

// Everything up to the launcher attempts. False when another finish is already under way.
bool RunFinish() {
    if (g_finish_under_way) return false;
    g_finish_under_way = true;
    if (g_startup_settings.debug_mode) PrintEndReport();
    ShutdownRuntime();
    System().run_shell("sync");
    BasicString directory;
    LocateExecutable(directory);
    CutToDirectory(directory);
    System().change_directory(directory.c_str());
    StartLauncher("gp2xmenu.pge", "gp2xmenu.gpe");
    StartLauncher("gp2xmenu.pgu", "gp2xmenu.gpu");
    StartLauncher("gp2xmenu", "gp2xmenu");
    System().change_directory("/usr/gp2x");
    StartLauncher("gp2xmenu", "gp2xmenu");
    return true;
}

void FinishAtExit() {
    // The process is already exiting: finish, but leave the exit (and its status) to the C library.
    RunFinish();
    fflush(stdout);
}

}  // namespace

void FinishProgram() {
    if (!RunFinish()) return;
    fflush(stdout);
    System().exit_process(0);
}

void RegisterFinishAtExit() { atexit(FinishAtExit); }

void ShutdownRuntime() {
    // Channels closed, settings and line files saved, before anything else goes.
    FinishStorage();
    ReleaseMusic();
    SaveShownFrameSnapshot();
    if (g_video_context != nullptr) {
        delete g_video_context;
        g_video_context = nullptr;
    }
    // The 3D layer is bound to the video context and goes with it.
    if (g_scene3d != nullptr) {
        delete g_scene3d;
        g_scene3d = nullptr;
    }
    ReleaseInputDevice();
    ReleaseSoundTable();
    ReleaseSoundDevice();
    ReleaseNetworkState();
    ReleasePackSources();
    SDL_WM_GrabInput(SDL_GRAB_OFF);
    SDL_Quit();
}

void RunAtEnd(const BasicString& path) {
    ShutdownRuntime();
    printf("end with: %s\n", path.c_str());
    fflush(stdout);
    System().exec_program(path.c_str(), path.c_str());
    printf("failed to call: %s\n", path.c_str());
    fflush(stdout);
    System().exit_process(0);
}
