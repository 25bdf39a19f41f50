// A program that, after the runtime's start-up, uses the storage commands the way a game does and prints what
// it read. Every step is chosen by an environment variable, so tests can append packs to copies of it:
//   STORAGE_PROBE_CHANNEL  a file read line by line through channel 0 ("channel: <line>")
//   STORAGE_PROBE_INI      an INI file: prints Player/name ("ini: <value>"), then sets Player/score to 100
//   STORAGE_PROBE_LINES    a line file: prints line 0 ("lines: <text>"), then writes "saved" to line 1
// It ends through EndProgram, so whatever it changed is saved by the runtime's own end.
#include <cstdio>
#include <cstdlib>

#include "files/file_channels.h"
#include "files/ini_files.h"
#include "files/line_files.h"
#include "frame/program.h"

void ApplicationMain() {
    if (const char* channel = getenv("STORAGE_PROBE_CHANNEL")) {
        if (OpenFileChannel(0, channel, 1)) {
            while (!EndOfChannel(0)) printf("channel: %s\n", ReadLine(0).c_str());
        } else {
            printf("channel: not opened\n");
        }
    }
    if (const char* ini = getenv("STORAGE_PROBE_INI")) {
        IniOpen(ini);
        printf("ini: %s\n", IniRead("Player", "name").c_str());
        IniWrite("Player", "score", "100");
    }
    if (const char* lines = getenv("STORAGE_PROBE_LINES")) {
        printf("lines: %s\n", ReadFileLine(lines, 0).c_str());
        WriteFileLine(lines, 1, "saved");
    }
    fflush(stdout);
    EndProgram();
}
