// The finish and shutdown seen from inside a child process, with the process services replaced so that each
// launcher attempt and directory change is recorded instead of carried out.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "files/pack_source.h"
#include "frame/finish.h"
#include "frame/program.h"
#include "frame/startup.h"
#include "frame/system_calls.h"
#include "input/input_device.h"
#include "net/net_session.h"
#include "scene3d/scene.h"
#include "sound/sound_device.h"
#include "support/process_runner.h"
#include "video/video_context.h"

namespace {

int RecordExec(const char* file, const char* arg0) {
    printf("exec %s %s\n", file, arg0);
    return -1;
}

int RecordChangeDirectory(const char* path) {
    printf("chdir %s\n", path);
    return 0;
}

int RecordShell(const char* command) {
    printf("shell %s\n", command);
    return 0;
}

ssize_t LinkToGameFolder(const char*, char* buffer, size_t) {
    static const char kPath[] = "/mnt/sd/app/prog";
    memcpy(buffer, kPath, sizeof(kPath) - 1);
    return sizeof(kPath) - 1;
}

TEST(FinishProgram, SyncsReturnsToTheGameFolderAndTriesEveryLauncherInOrder) {
    const ProcessResult result = RunInChild([] {
        System().exec_program = RecordExec;
        System().change_directory = RecordChangeDirectory;
        System().run_shell = RecordShell;
        System().read_link = LinkToGameFolder;
        FinishProgram();
        puts("returned");
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.output,
              "shell sync\n"
              "chdir /mnt/sd/app\n"
              "exec gp2xmenu.pge gp2xmenu.gpe\n"
              "exec gp2xmenu.pgu gp2xmenu.gpu\n"
              "exec gp2xmenu gp2xmenu\n"
              "chdir /usr/gp2x\n"
              "exec gp2xmenu gp2xmenu\n");
}

TEST(FinishProgram, AFinishEnteredDuringAnotherReturnsAtOnce) {
    const ProcessResult result = RunInChild([] {
        System().exec_program = [](const char* file, const char*) {
            printf("exec %s\n", file);
            // A runtime error raised while the finish is under way must not start a second finish.
            FinishProgram();
            return -1;
        };
        System().change_directory = RecordChangeDirectory;
        System().run_shell = RecordShell;
        System().read_link = LinkToGameFolder;
        g_startup_settings.debug_mode = 1;
        FinishProgram();
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.output,
              "-End On Line\n0.-1.0.0."
              "shell sync\nchdir /mnt/sd/app\nexec gp2xmenu.pge\nexec gp2xmenu.pgu\nexec gp2xmenu\n"
              "chdir /usr/gp2x\nexec gp2xmenu\n");
}

TEST(ShutdownRuntime, ReleasesEverythingOnceAndNothingTheSecondTime) {
    const ProcessResult result = RunInChild([] {
        System().exec_program = [](const char*, const char*) { return -1; };
        System().run_shell = [](const char*) { return 0; };
        RuntimeStartup("Test");
        const bool all_created = g_video_context && g_input_device && g_sound_device && g_sound_table &&
                                 g_network_state && g_music_pack && g_general_pack && g_scene3d;
        ShutdownRuntime();
        const bool all_released = !g_video_context && !g_input_device && !g_sound_device && !g_sound_table &&
                                  !g_network_state && !g_music_pack && !g_general_pack && !g_scene3d;
        ShutdownRuntime();
        printf("created=%d released=%d\n", all_created, all_released);
        fflush(stdout);
        _exit(0);
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_NE(result.output.find("created=1 released=1\n"), std::string::npos) << result.output;
}

TEST(EndState, EndProgramRecordsTheNormalEndAtTheAnnouncedLine) {
    const ProcessResult result = RunInChild([] {
        System().exec_program = [](const char*, const char*) { return -1; };
        System().run_shell = [](const char*) { return 0; };
        System().exit_process = [](int) {
            printf("reason=%g end_line=%g line=%g module=%g\n", g_end_state.end_reason, g_end_state.end_line,
                   g_end_state.current_line, g_end_state.current_module);
            fflush(stdout);
            _exit(0);
        };
        g_end_state.end_reason = 5;
        SetSourcePosition(3, 17);
        EndProgram();
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.output, "reason=0 end_line=17 line=17 module=3\n");
}

}  // namespace
