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
#include "support/scratch.h"
#include "text/basic_string.h"

// Makes a fresh folder the working directory for the fixture's lifetime, and puts the storage write calls
// back afterwards.
class StorageFolderTest : public ::testing::Test {
protected:
    ~StorageFolderTest() override { ResetStorageFileCalls(); }
    std::string File(const std::string& name) const { return folder_.File(name); }
    const std::string& path() const { return folder_.path(); }

private:
    ScratchFolder folder_;
};

using OutputCapture = StdoutCapture;

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
