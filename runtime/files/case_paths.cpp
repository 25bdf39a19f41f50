// Case-insensitive name resolution and the opener built on it.
#include "files/case_paths.h"

#include <dirent.h>
#include <strings.h>

#include <cstring>
#include <string>

namespace {

// Resolves path as FindCaseInsensitive describes. When the exact name opens and keep_exact is given, the
// already open "rb" handle is handed back there instead of being closed, which spares readers a second open.
bool Resolve(const char* path, BasicString& answer, FILE** keep_exact) {
    FILE* exact = fopen(path, "rb");
    if (exact != nullptr) {
        if (keep_exact != nullptr) {
            *keep_exact = exact;
        } else {
            fclose(exact);
        }
        answer = path;
        return true;
    }

    const char* slash = strrchr(path, '/');
    const char* last_component = slash != nullptr ? slash + 1 : path;
    std::string directory;
    if (slash == nullptr) {
        directory = ".";
    } else if (slash == path) {
        // "/name": the directory part is empty but means the root.
        directory = "/";
    } else {
        directory.assign(path, static_cast<size_t>(slash - path));
    }
    if (last_component[0] == 0) return false;

    DIR* folder = opendir(directory.c_str());
    if (folder == nullptr) return false;
    bool found = false;
    while (const dirent* entry = readdir(folder)) {
        if (strcasecmp(entry->d_name, last_component) == 0) {
            if (slash != nullptr) {
                std::string corrected(path, static_cast<size_t>(slash - path) + 1);
                corrected += entry->d_name;
                answer = corrected.c_str();
            } else {
                answer = entry->d_name;
            }
            found = true;
            break;
        }
    }
    closedir(folder);
    return found;
}

bool ModeWrites(const char* mode) { return strchr(mode, 'w') != nullptr || strchr(mode, 'a') != nullptr; }

}  // namespace

int FindCaseInsensitive(const char* path, BasicString& out_path) {
    if (path == nullptr || !Resolve(path, out_path, nullptr)) {
        out_path.Clear();
        return 0;
    }
    return 1;
}

FILE* OpenRequestedFile(const char* path, const char* mode) {
    BasicString resolved;
    const bool plain_read = strcmp(mode, "rb") == 0;
    FILE* exact = nullptr;
    if (Resolve(path, resolved, plain_read ? &exact : nullptr)) {
        if (exact != nullptr) return exact;
        FILE* file = fopen(resolved.c_str(), mode);
        if (file == nullptr)
            printf("request: fopen_case(\"%s\", \"%s\") opens \"%s\": %s\n", path, mode, resolved.c_str(), "failed");
        return file;
    }
    if (ModeWrites(mode)) {
        FILE* file = fopen(path, mode);
        if (file == nullptr) printf("wrt-request: fopen(\"%s\", \"%s\") failed\n\n", path, mode);
        return file;
    }
    printf("request: fopen(\"%s\", \"%s\") failed\n", path, mode);
    return nullptr;
}
