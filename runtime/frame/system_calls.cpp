// The default system services: the real calls.
#include "frame/system_calls.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>

namespace {

int RunShell(const char* command) { return system(command); }

int ExecProgram(const char* file, const char* arg0) { return execl(file, arg0, static_cast<char*>(nullptr)); }

int ChangeDirectory(const char* path) { return chdir(path); }

void ExitProcess(int status) { exit(status); }

uint32_t ReadTicks() { return SDL_GetTicks(); }

void Sleep(uint32_t ms) {
    timespec duration;
    duration.tv_sec = ms / 1000;
    duration.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    nanosleep(&duration, nullptr);
}

ssize_t ReadLink(const char* path, char* buffer, size_t size) { return readlink(path, buffer, size); }

const SystemCalls kDefaultCalls = {RunShell, ExecProgram, ChangeDirectory, ExitProcess, ReadTicks, Sleep, ReadLink};
SystemCalls g_calls = kDefaultCalls;

}  // namespace

SystemCalls& System() { return g_calls; }

void ResetSystemCalls() { g_calls = kDefaultCalls; }
