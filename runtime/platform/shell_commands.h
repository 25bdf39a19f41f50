// Shell commands and writing text to the process's standard output and standard error.
//
// A shell command runs through the frame's system-call table, so tests can watch the command without running
// it. While it runs, the video context's full-screen flag is cleared, and it is set again afterwards.
#pragma once

#include "text/basic_string.h"

// Writes the text as it is, with no line end added.
void WriteStdout(const BasicString& text);
void WriteStderr(const BasicString& text);

// Runs command through the shell. A wait flag of 0 appends " &" to the caller's command, so the shell starts
// it in the background and returns at once. result receives the raw status that system() reports (for a
// command that exits with 3, 768). Returns 1.0.
float ShellCommand(BasicString& command, float wait, float& result);
