// The process, clock and directory services the frame uses, behind one replaceable table.
//
// Start-up, the finish and the pacing reach the operating system only through these entries, so tests can
// watch a launcher attempt or drive the clock without starting a program or waiting for real time.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>

struct SystemCalls {
    int (*run_shell)(const char* command);                   // system()
    int (*exec_program)(const char* file, const char* arg0);  // execl(file, arg0, NULL); returns only on failure
    int (*change_directory)(const char* path);                // chdir()
    void (*exit_process)(int status);                         // exit()
    uint32_t (*read_ticks)();                                 // SDL_GetTicks()
    void (*sleep_ms)(uint32_t ms);                            // nanosleep()
    ssize_t (*read_link)(const char* path, char* buffer, size_t size);  // readlink()
};

// The table in use; tests may replace entries and put the defaults back with ResetSystemCalls.
SystemCalls& System();
void ResetSystemCalls();
