// Shared pieces of the storage tests: a scratch working folder, captured standard output, and write calls that
// fail on purpose.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "files/storage_io.h"
#include "support/process_runner.h"
#include "text/basic_string.h"

// Makes a fresh folder the working directory for the fixture's lifetime.
class StorageFolderTest : public ::testing::Test {
protected:
    StorageFolderTest() {
        char* previous = getcwd(nullptr, 0);
        previous_ = previous;
        free(previous);
        if (chdir(folder_.path().c_str()) != 0) abort();
    }
    ~StorageFolderTest() override {
        ResetStorageFileCalls();
        if (chdir(previous_.c_str()) != 0) abort();
    }
    std::string File(const std::string& name) const { return folder_.File(name); }
    const std::string& path() const { return folder_.path(); }

private:
    TemporaryDirectory folder_;
    std::string previous_;
};

// Captures standard output from construction until Finish.
class OutputCapture {
public:
    OutputCapture() {
        fflush(stdout);
        saved_ = dup(1);
        file_ = tmpfile();
        dup2(fileno(file_), 1);
    }
    ~OutputCapture() { Finish(); }
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

// The ways a save can break on a real device, injected through the storage write calls.
enum class WriteFault { kShortWrite, kFailedFlush, kFailedRename };

inline const char* FaultName(WriteFault fault) {
    switch (fault) {
        case WriteFault::kShortWrite: return "short write";
        case WriteFault::kFailedFlush: return "failed flush";
        case WriteFault::kFailedRename: return "failed rename";
    }
    return "?";
}

inline void InjectWriteFault(WriteFault fault) {
    ResetStorageFileCalls();
    switch (fault) {
        case WriteFault::kShortWrite:
            // Half of what was asked, as a full card gives it.
            StorageFiles().write = [](const void* bytes, size_t count, FILE* file) {
                return fwrite(bytes, 1, count / 2, file);
            };
            break;
        case WriteFault::kFailedFlush:
            StorageFiles().flush = [](FILE*) { return -1; };
            break;
        case WriteFault::kFailedRename:
            StorageFiles().rename = [](const char*, const char*) { return -1; };
            break;
    }
}

constexpr WriteFault kAllWriteFaults[] = {WriteFault::kShortWrite, WriteFault::kFailedFlush,
                                          WriteFault::kFailedRename};

inline std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values) bytes += static_cast<char>(value);
    return bytes;
}

// A text as std::string, so that comparisons print readably when they fail.
inline std::string Str(const BasicString& text) { return std::string(text.c_str(), text.length()); }

inline bool FileExistsOnDisk(const std::string& path) { return access(path.c_str(), F_OK) == 0; }
