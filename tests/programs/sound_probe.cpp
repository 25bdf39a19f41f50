// A program that drives the sound commands from a script, so that tests can hear what the runtime plays.
//
// The script's path is the first argument. Each line is one command; results go to standard output, one line
// each, for the test to read back:
//   load NAME N          LoadSound(NAME, N, 0), then "entry N loaded" or "entry N empty"
//   play N PAN VOLUME    PlaySound; prints "handle H" and remembers H
//   playing              prints "playing V", SoundPlaying of the remembered handle
//   stopall              StopAllSounds
//   music NAME LOOP      PLAYMUSIC
//   volume V             MusicVolume
//   musicplaying         prints "musicplaying V"
//   stopmusic            StopMusic
//   movie                PLAYMOVIE, LOOPMOVIE and MovieStatus; prints "moviestatus V"
//   wait MS              lets MS milliseconds of sound go by
//   mark LABEL           prints "mark LABEL BYTES", BYTES the size of the audio written so far
// With SDL's disk audio driver, "wait" counts the sound written to SDL_DISKAUDIOFILE rather than wall-clock
// time, so that a slow machine still hears the same sound between two marks.
#include <SDL.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "frame/program.h"
#include "sound/movie.h"
#include "sound/music.h"
#include "sound/sound_device.h"
#include "sound/sound_effects.h"

namespace {

constexpr long kBytesPerSecond = kAudioRate * kAudioChannels * 2;
constexpr uint32_t kWaitLimitMs = 20000;

const char* DiskAudioFile() {
    const char* driver = getenv("SDL_AUDIODRIVER");
    const char* file = getenv("SDL_DISKAUDIOFILE");
    if (driver == nullptr || strcmp(driver, "disk") != 0 || file == nullptr) return nullptr;
    return file;
}

long AudioBytesWritten() {
    const char* file = DiskAudioFile();
    struct stat info;
    if (file == nullptr || stat(file, &info) != 0) return -1;
    return static_cast<long>(info.st_size);
}

void WaitForSound(long milliseconds) {
    const long start = AudioBytesWritten();
    if (start < 0) {
        SDL_Delay(static_cast<uint32_t>(milliseconds));
        return;
    }
    const long target = start + milliseconds * kBytesPerSecond / 1000;
    const uint32_t began = SDL_GetTicks();
    while (AudioBytesWritten() < target && SDL_GetTicks() - began < kWaitLimitMs) SDL_Delay(2);
}

// The first word of the command line after the program's own name.
std::string ScriptPath() {
    std::istringstream words(GetCommandLine().c_str());
    std::string program, script;
    words >> program >> script;
    return script;
}

void RunCommand(const std::string& line, int32_t& handle) {
    std::istringstream in(line);
    std::string command;
    in >> command;
    if (command == "load") {
        std::string name;
        int32_t number = 0;
        in >> name >> number;
        LoadSound(BasicString(name.c_str()), number, 0);
        const int32_t index = number > kHighestSoundNumber ? kHighestSoundNumber : number;
        const bool loaded = index >= 0 && g_sound_table != nullptr && g_sound_table[index] != nullptr;
        printf("entry %d %s\n", number, loaded ? "loaded" : "empty");
    } else if (command == "play") {
        int32_t number = 0;
        float pan = 0, volume = 0;
        in >> number >> pan >> volume;
        handle = PlaySound(number, pan, volume);
        printf("handle %d\n", handle);
    } else if (command == "playing") {
        printf("playing %d\n", SoundPlaying(handle));
    } else if (command == "stopall") {
        StopAllSounds();
    } else if (command == "music") {
        std::string name;
        int32_t loop = 0;
        in >> name >> loop;
        PLAYMUSIC(BasicString(name.c_str()), loop);
    } else if (command == "volume") {
        float volume = 0;
        in >> volume;
        MusicVolume(volume);
    } else if (command == "musicplaying") {
        printf("musicplaying %d\n", MusicPlaying());
    } else if (command == "stopmusic") {
        StopMusic();
    } else if (command == "movie") {
        PLAYMOVIE(BasicString("intro.avi"));
        LOOPMOVIE(BasicString("intro.avi"));
        printf("moviestatus %d\n", MovieStatus());
    } else if (command == "wait") {
        long milliseconds = 0;
        in >> milliseconds;
        WaitForSound(milliseconds);
    } else if (command == "mark") {
        std::string label;
        in >> label;
        printf("mark %s %ld\n", label.c_str(), AudioBytesWritten());
    } else if (!command.empty()) {
        printf("unknown command %s\n", command.c_str());
    }
    fflush(stdout);
}

}  // namespace

void ApplicationMain() {
    std::ifstream script(ScriptPath());
    if (!script) {
        puts("no script");
        return;
    }
    int32_t handle = -1;
    std::string line;
    while (std::getline(script, line)) RunCommand(line, handle);
}
