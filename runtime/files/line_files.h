// The line file: one text file at a time, held in memory as 256 numbered lines.
//
// A line command naming another file than the current one first writes the current file back (when a line
// was written), then loads the named one, through the file layer, so it can come from the resource pack;
// the file is written back to disk only. Lines are written back 0 to the highest line loaded or written, each
// ending in "\r\n"; a line holds at most 1023 bytes. Missing data reads as "NO_DATA", a missing file as
// "NO_FILE" on the read that loads it. A line number outside 0..255 sets end reason 7 and a missing file end
// reason 3, without ending the program.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

constexpr int32_t kLineFileLines = 256;
constexpr int32_t kLineFileLineBytes = 1024;

struct LineFile {
    BasicString file_name;  // the file the lines belong to; empty when none
    char lines[kLineFileLines][kLineFileLineBytes];
    int32_t last_line = 0;  // highest line loaded or written
    uint8_t changed = 0;
};

BasicString ReadFileLine(const BasicString& name, float line);
int32_t ReadFileLineToInt(const BasicString& name, float line);
float ReadFileLineToFloat(const BasicString& name, float line);
void WriteFileLine(const BasicString& name, float line, const BasicString& text);
void WriteFileLine(const BasicString& name, float line, int32_t value);
void WriteFileLine(const BasicString& name, float line, float value);
void WriteFileLine(const BasicString& name, float line, double value);

// The same over any store, for tools and tests. SwitchLineFile returns false when the named file could not
// be read (the store is then empty but keeps the name).
bool SwitchLineFile(LineFile& store, const BasicString& name);
// Writes lines 0..last_line when changed and the name is a disk name; true when nothing needed writing or
// the file was replaced. A failed write leaves changed set, so the end of the program tries again.
bool WriteBackLineFile(LineFile& store);
void ClearLineFile(LineFile& store);

// Writes the process's store back when changed (at shutdown and at exit); with release, drops it afterwards.
void FinishLineFile(bool release);
