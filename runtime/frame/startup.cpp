// Start-up sequence.
#include "frame/startup.h"

#include <SDL.h>
#include <limits.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "files/pack_source.h"
#include "frame/finish.h"
#include "frame/program.h"
#include "frame/system_calls.h"
#include "frame/timing.h"
#include "input/input_device.h"
#include "net/net_session.h"
#include "scene3d/scene.h"
#include "sound/sound_device.h"
#include "text/random.h"
#include "video/font.h"
#include "video/screen.h"
#include "video/video_context.h"

BasicString ProgramCaption;

namespace {
constexpr uint32_t kPathBufferSize = 1024;
constexpr size_t kLinkReadLimit = 512;
}  // namespace

void LocateExecutable(BasicString& path) {
    path.Reserve(kPathBufferSize, false);
    path.SetLength(0);
    char link[64];
    snprintf(link, sizeof(link), "/proc/%d/exe", static_cast<int>(getpid()));
    const ssize_t count = System().read_link(link, path.data(), kLinkReadLimit);
    // A link that fills the whole read may have been cut short; it is not trusted as a path.
    bool found = count > 0 && static_cast<size_t>(count) < kLinkReadLimit;
    if (found) {
        path.data()[count] = 0;
    } else {
        path.data()[0] = 0;
        const char* underscore = getenv("_");
        char resolved[PATH_MAX];
        if (underscore != nullptr && underscore[0] != 0 && realpath(underscore, resolved) != nullptr &&
            strlen(resolved) < kPathBufferSize) {
            memcpy(path.data(), resolved, strlen(resolved) + 1);
            found = true;
        }
    }
    if (!found) memcpy(path.data(), "./", 3);
    path.UpdateLength();
}

void CutToDirectory(BasicString& path) {
    for (int32_t i = static_cast<int32_t>(path.length()) - 1; i >= 0; --i) {
        if (path.c_str()[i] == '/' || path.c_str()[i] == '\\') {
            path.SetLength(i);
            return;
        }
    }
}

int RuntimeStartup(const char* caption) {
    System().run_shell("clear");
    RegisterFinishAtExit();
    SDL_Init(SDL_INIT_TIMER);

    puts("Init GFX");
    g_video_context = new RevuDIVavuduri();
    if (!g_video_context->OpenVideo(g_startup_settings.screen_width, g_startup_settings.screen_height,
                                    g_startup_settings.frame_rate))
        return 0;
    ProgramCaption = caption;
    SeedRandom(static_cast<int32_t>(GetTimerAll()));

    puts("Init Network");
    CreateNetworkState();
    g_scene3d = new Dovadaza3D(g_video_context);

    puts("Init Input");
    CreateInputDevice();

    puts("Init Sound");
    CreateSoundDevice();
    CreateSoundTable();

    puts("Init Window");
    SetFullscreenFlag(g_startup_settings.fullscreen != 0);
    OpenButtonDevice();
    SDL_WM_SetCaption(caption, "");
    if (g_startup_settings.grab_input) SDL_WM_GrabInput(SDL_GRAB_ON);
    SetFont(0);

    BasicString path;
    LocateExecutable(path);
    CreatePackSources();
    SetPackFile(path.c_str());
    CutToDirectory(path);
    System().change_directory(path.c_str());

    ClearBackground();
    ResetFrameTimers();
    g_video_context->PresentAndPace();
    SetViewport(0, 0, 0, 0);

    int32_t screen_width, screen_height;
    GetScreenSize(screen_width, screen_height);
    LoadFont(BasicString(), 0);
    int32_t glyph_width, glyph_height;
    GetFontSize(glyph_width, glyph_height);
    const BasicString loading("Loading...");
    const float x = static_cast<float>(screen_width - static_cast<int32_t>(loading.length()) * glyph_width) * 0.5f;
    const float y = static_cast<float>(screen_height - glyph_height) * 0.5f;
    PrintText(loading, x, y);
    PresentFrame();

    BasicString font_path;
    if (RequestFile(*g_general_pack, BasicString("smalfont.png"), font_path, 1)) {
        LoadFont(font_path, 0);
    } else if (RequestFile(*g_general_pack, BasicString("smalfont.bmp"), font_path, 1)) {
        LoadFont(font_path, 0);
    }
    SetFont(0);

    ResetFrameTimers();
    if (g_input_device != nullptr) g_input_device->cursor_flag = g_startup_settings.grab_input == 0 ? 1 : 0;
    System().run_shell("killall -9 gp2xmenu");
    puts("Init Finalized");
    return 0;
}
