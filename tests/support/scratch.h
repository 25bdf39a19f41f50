// Two helpers for tests that run in-process: capturing what the code under test prints, and working inside a
// scratch folder that is the current directory for the helper's lifetime.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/process_runner.h"

// Captures standard output from construction until Finish.
class StdoutCapture {
public:
    StdoutCapture() {
        fflush(stdout);
        saved_ = dup(1);
        file_ = tmpfile();
        dup2(fileno(file_), 1);
    }
    ~StdoutCapture() { Finish(); }
    std::string Finish() {
        if (file_ == nullptr) return text_;
        fflush(stdout);
        dup2(saved_, 1);
        close(saved_);
        rewind(file_);
        char block[4096];
        size_t count;
        while ((count = fread(block, 1, sizeof(block), file_)) > 0) text_.append(block, count);
        fclose(file_);
        file_ = nullptr;
        return text_;
    }

private:
    int saved_ = -1;
    FILE* file_ = nullptr;
    std::string text_;
};

// Makes a scratch folder the working directory for the fixture's lifetime.
class ScratchFolder {
public:
    ScratchFolder() {
        char* previous = getcwd(nullptr, 0);
        previous_ = previous;
        free(previous);
        if (chdir(folder_.path().c_str()) != 0) abort();
    }
    ~ScratchFolder() {
        if (chdir(previous_.c_str()) != 0) abort();
    }
    const std::string& path() const { return folder_.path(); }
    std::string File(const std::string& name) const { return folder_.File(name); }

private:
    TemporaryDirectory folder_;
    std::string previous_;
};
