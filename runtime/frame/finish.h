// The end of a program: the end report, the release of every subsystem, and the return to the launcher.
//
// On the handheld a program does not simply exit: start-up stopped the launcher, so the finish starts it
// again in the program's place, trying several names before giving up with a normal exit.
#pragma once

#include "text/basic_string.h"

// Prints the end report in debug mode, shuts the runtime down, syncs, and replaces the process by the
// launcher; exits with status 0 when no launcher starts. A finish entered while another is under way returns
// at once.
void FinishProgram();
// Registers the finish as the process's exit handler: any exit then finishes the program, except that the
// handler returns instead of exiting again, so the exit under way keeps its status.
void RegisterFinishAtExit();
// Releases all subsystem objects in a fixed order; safe to call more than once.
void ShutdownRuntime();
// Shuts down and replaces the process by the program at path.
void RunAtEnd(const BasicString& path);
