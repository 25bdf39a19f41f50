// Running code whose end is the end of a process: in a forked child, or as a separate program.
//
// Whatever can end the process (FinishProgram, runtime errors, EndProgram) or registers the runtime's exit
// handler runs in a child, so that it can never end the test runner itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ProcessResult {
    int exit_status = -1;   // the status passed to exit, or -1 when the process did not exit normally
    int signal = 0;         // the signal that ended it, if any
    std::string output;     // everything written to standard output
    std::string errors;     // everything written to standard error
};

// Runs body in a forked child with standard output and standard error captured. When body returns, the child
// exits with status 0 (after flushing).
ProcessResult RunInChild(const std::function<void()>& body);

// Runs a program with arguments (argv[0] included) and extra environment entries ("NAME=value"; an entry
// "NAME=" with nothing after it removes NAME), in the given working directory (empty: the current one).
// Standard input is /dev/null. The program is killed after timeout_seconds.
ProcessResult RunProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment = {},
                         const std::string& working_directory = "", int timeout_seconds = 60);

// Path of a program built from tests/programs/<name>.cpp.
std::string TestProgramPath(const std::string& name);
// Path of the lumora executable.
std::string LumoraPath();

// A fresh temporary directory, removed with everything in it when the object goes.
class TemporaryDirectory {
public:
    TemporaryDirectory();
    ~TemporaryDirectory();
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;
    const std::string& path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Copies a file (keeping it executable).
void CopyFileTo(const std::string& from, const std::string& to);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);
// The lines of a text, without their line ends.
std::vector<std::string> SplitLines(const std::string& text);
