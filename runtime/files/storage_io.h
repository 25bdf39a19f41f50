// Writing storage files: the replaceable write calls, and saving a file whole without risking the old one.
//
// Channels, INI tables, line files and copies write through StorageFiles(), so tests can make a write come
// up short, a flush fail or a rename fail without needing a broken card.
//
// A file saved whole (INI table, line file, the destination of a copy) is never deleted first: the new bytes
// go into a fresh file in the same folder, are flushed to the device, and only then is that file renamed over
// the old one. A crash, a full card or a power loss in between leaves the old file as it was.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

struct StorageFileCalls {
    size_t (*write)(const void* bytes, size_t count, FILE* file);  // fwrite; a short count is a failed write
    int (*flush)(FILE* file);                                      // fflush, then fsync; 0 on success
    int (*rename)(const char* from, const char* to);               // rename; 0 on success
};

// The calls in use; tests may replace entries and put the defaults back with ResetStorageFileCalls.
StorageFileCalls& StorageFiles();
void ResetStorageFileCalls();

// Replaces the file at name (its last component case-corrected when such a file exists) with new content.
// Begin makes the fresh file beside it, Write adds bytes, Commit flushes, closes and renames it into place.
// When anything fails the fresh file is removed, the old file stays untouched and one line is printed:
//   can't write to file: <name>
// (preceded by "wrt-request: fopen("<name>", "wb") failed" and a blank line when no file can be made there).
class ReplacementFile {
public:
    ReplacementFile() = default;
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    bool Begin(const char* name);
    bool Write(const void* bytes, size_t count);
    bool Commit();
    // Drops the fresh file without touching the old one (no message).
    void Abandon();

private:
    void Fail();

    FILE* file_ = nullptr;
    std::string name_;       // as the caller gave it, for the message
    std::string target_;     // the file that is replaced
    std::string temporary_;  // the fresh file
    bool failed_ = false;
};

// Begin, one Write and Commit. True when the file now holds exactly the bytes.
bool ReplaceFileContents(const char* name, const void* bytes, size_t count);
