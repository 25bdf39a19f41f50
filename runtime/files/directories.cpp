// Whole-file and directory commands.
#include "files/directories.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "files/file_stream.h"
#include "files/storage_io.h"

namespace {

constexpr size_t kCopyBlock = 4096;

char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

float FileExists(const BasicString& name) {
    FileStream stream;
    const int opened = OpenStream(stream, name.c_str());
    CloseStream(stream);
    return opened ? 1.0f : 0.0f;
}

int32_t FileSize(const BasicString& name) {
    FileStream stream;
    const int32_t size = OpenStream(stream, name.c_str()) ? stream.size : 0;
    CloseStream(stream);
    return size;
}

void CopyFile(const BasicString& source, const BasicString& destination) {
    FileStream input;
    if (!OpenStream(input, source.c_str())) return;
    ReplacementFile output;
    if (!output.Begin(destination.c_str())) {
        CloseStream(input);
        return;
    }
    bool copied = true;
    if (input.file != nullptr) {
        char block[kCopyBlock];
        size_t got;
        while (copied && (got = fread(block, 1, sizeof(block), input.file)) > 0) copied = output.Write(block, got);
        // A read that stopped short of the end is a failed copy, not a shorter file.
        if (ferror(input.file)) copied = false;
    } else {
        for (int32_t at = 0; copied && at < input.size; at += static_cast<int32_t>(kCopyBlock)) {
            const size_t count = std::min(kCopyBlock, static_cast<size_t>(input.size - at));
            copied = output.Write(input.buffer + at, count);
        }
    }
    CloseStream(input);
    if (copied) {
        output.Commit();
    } else {
        output.Abandon();
    }
}

int32_t DeleteFile(const BasicString& name) { return remove(name.c_str()); }

float ChangeDirectory(const BasicString& name) { return chdir(name.c_str()) == 0 ? 1.0f : 0.0f; }

int32_t IsDirectory(const BasicString& name) {
    struct stat info;
    return stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode) ? 1 : 0;
}

BasicString CurrentDirectory() {
    // The whole path, however deep: a fixed buffer would cut deep folders off or give nothing.
    char* path = getcwd(nullptr, 0);
    if (path == nullptr) return BasicString();
    BasicString text(path);
    free(path);
    SlashPath(text);
    if (text.empty() || text.c_str()[text.length() - 1] != '/') text += "/";
    return text;
}

int32_t ListDirectory(const BasicString& pattern, StrArray& result) {
    DIR* folder = opendir(".");
    if (folder == nullptr) {
        result.DimArray(0);
        return 0;
    }
    std::vector<BasicString> directories;
    std::vector<BasicString> files;
    while (const dirent* entry = readdir(folder)) {
        struct stat info;
        if (stat(entry->d_name, &info) == 0 && S_ISDIR(info.st_mode)) {
            directories.emplace_back(entry->d_name);
        } else if (MatchPattern(pattern.c_str(), entry->d_name)) {
            files.emplace_back(entry->d_name);
        }
    }
    closedir(folder);
    const int32_t total = static_cast<int32_t>(directories.size() + files.size());
    result.DimArray(total);
    int32_t index = 0;
    for (BasicString& name : directories) result.elements[index++].Swap(name);
    for (BasicString& name : files) result.elements[index++].Swap(name);
    return static_cast<int32_t>(static_cast<uint32_t>(files.size()) + 65536u * static_cast<uint32_t>(directories.size()));
}

int32_t MatchPattern(const char* pattern, const char* name) {
    if (strcmp(pattern, "*.*") == 0) return 1;
    const char* retry_pattern = nullptr;  // just after the latest '*'
    const char* retry_name = nullptr;     // where the run that '*' covers ends so far
    while (*name != 0) {
        if (*pattern == '*') {
            while (*pattern == '*') ++pattern;
            retry_pattern = pattern;
            retry_name = name;
            continue;
        }
        const bool same = *pattern != 0 && ((*pattern == '?' && *name != '.') ||
                                            LowerLetter(*pattern) == LowerLetter(*name));
        if (same) {
            ++pattern;
            ++name;
        } else if (retry_pattern != nullptr) {
            // Let the '*' take one more character and try the rest again from there.
            pattern = retry_pattern;
            name = ++retry_name;
        } else {
            return 0;
        }
    }
    while (*pattern == '*') ++pattern;
    return *pattern == 0 ? 1 : 0;
}

int32_t MatchPattern(const BasicString& pattern, const BasicString& name) {
    return MatchPattern(pattern.c_str(), name.c_str());
}

void SlashPath(BasicString& path) {
    char* c = path.data();
    for (uint32_t i = 0; i < path.length(); ++i)
        if (c[i] == '\\') c[i] = '/';
}
