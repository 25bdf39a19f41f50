// Storage write calls and whole-file replacement.
#include "files/storage_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "files/case_paths.h"
#include "text/basic_string.h"

namespace {

size_t DefaultWrite(const void* bytes, size_t count, FILE* file) {
#ifdef __GLIBC__
    // Files are used from the main thread only; the unlocked form spares a lock per small value.
    return fwrite_unlocked(bytes, 1, count, file);
#else
    return fwrite(bytes, 1, count, file);
#endif
}

int DefaultFlush(FILE* file) {
    if (fflush(file) != 0) return -1;
    return fsync(fileno(file));
}

int DefaultRename(const char* from, const char* to) { return rename(from, to); }

const StorageFileCalls kDefaultCalls = {DefaultWrite, DefaultFlush, DefaultRename};

StorageFileCalls& Calls() {
    static StorageFileCalls calls = kDefaultCalls;
    return calls;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// The mode the new file gets: the old file's, or what a plain create would give under the current umask.
mode_t ModeFor(const std::string& target) {
    struct stat info;
    if (stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// Makes the rename itself durable; a failure here only weakens the guarantee, it loses nothing.
void SyncFolder(const std::string& folder) {
    const int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) return;
    fsync(descriptor);
    close(descriptor);
}

}  // namespace

StorageFileCalls& StorageFiles() { return Calls(); }
void ResetStorageFileCalls() { Calls() = kDefaultCalls; }

ReplacementFile::~ReplacementFile() { Abandon(); }

bool ReplacementFile::Begin(const char* name) {
    Abandon();
    failed_ = false;
    name_ = name;
    BasicString existing;
    target_ = FindCaseInsensitive(name, existing) ? existing.c_str() : name;
    std::string pattern = target_ + ".XXXXXX";
    int descriptor = name[0] != 0 ? mkostemp(&pattern[0], O_CLOEXEC) : -1;
    if (descriptor < 0 && errno == ENAMETOOLONG) {
        // A name already near the longest allowed leaves no room for the suffix; any name in the folder will do.
        pattern = FolderOf(target_) + "/.korvane-XXXXXX";
        descriptor = mkostemp(&pattern[0], O_CLOEXEC);
    }
    if (descriptor < 0) {
        printf("wrt-request: fopen(\"%s\", \"%s\") failed\n\n", name, "wb");
        printf("can't write to file: %s\n", name);
        failed_ = true;
        return false;
    }
    temporary_ = pattern;
    fchmod(descriptor, ModeFor(target_));
    file_ = fdopen(descriptor, "wb");
    if (file_ == nullptr) {
        close(descriptor);
        Fail();
        return false;
    }
    return true;
}

bool ReplacementFile::Write(const void* bytes, size_t count) {
    if (file_ == nullptr) return false;
    if (count == 0) return true;
    if (Calls().write(bytes, count, file_) != count) {
        Fail();
        return false;
    }
    return true;
}

bool ReplacementFile::Commit() {
    if (file_ == nullptr) return false;
    const bool flushed = Calls().flush(file_) == 0;
    const bool closed = fclose(file_) == 0;
    file_ = nullptr;
    if (!flushed || !closed || Calls().rename(temporary_.c_str(), target_.c_str()) != 0) {
        Fail();
        return false;
    }
    temporary_.clear();
    SyncFolder(FolderOf(target_));
    return true;
}

void ReplacementFile::Abandon() {
    if (file_ != nullptr) fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) unlink(temporary_.c_str());
    temporary_.clear();
}

void ReplacementFile::Fail() {
    Abandon();
    if (!failed_) printf("can't write to file: %s\n", name_.c_str());
    failed_ = true;
}

bool ReplaceFileContents(const char* name, const void* bytes, size_t count) {
    ReplacementFile file;
    return file.Begin(name) && file.Write(bytes, count) && file.Commit();
}
