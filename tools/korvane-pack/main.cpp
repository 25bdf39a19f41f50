// korvane-pack: makes, lists and unpacks the resource packs the runtime reads from the end of a program.
//
//   korvane-pack add [--from-start] TARGET [--as NAME] FILE|FOLDER ...
//   korvane-pack create [--from-start] PACK [--as NAME] FILE|FOLDER ...
//   korvane-pack list TARGET
//   korvane-pack extract TARGET [-C FOLDER] [NAME ...]
//
// "add" appends a pack to TARGET (usually the game's executable), replacing a pack already at its end;
// "create" writes a pack file on its own. A folder adds its regular files (not its subfolders). The entry
// name is the file's own name unless "--as NAME" precedes it. Offsets are counted back from the end unless
// --from-start is given. The new file is built beside the target and renamed over it only when complete, so
// on any failure the target stays as it was.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "files/pack_codec.h"
#include "files/resource_pack.h"
#include "pack_builder.h"

namespace {

constexpr char kUsage[] =
    "usage:\n"
    "  korvane-pack add [--from-start] TARGET [--as NAME] FILE|FOLDER ...\n"
    "  korvane-pack create [--from-start] PACK [--as NAME] FILE|FOLDER ...\n"
    "  korvane-pack list TARGET\n"
    "  korvane-pack extract TARGET [-C FOLDER] [NAME ...]\n";

int Fail(const std::string& message) {
    fprintf(stderr, "korvane-pack: %s\n", message.c_str());
    return 1;
}

int Usage() {
    fputs(kUsage, stderr);
    return 2;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& message) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        message = "cannot read " + path + ": " + strerror(errno);
        return false;
    }
    bytes.clear();
    uint8_t block[65536];
    size_t count;
    while ((count = fread(block, 1, sizeof(block), file)) > 0) bytes.insert(bytes.end(), block, block + count);
    const bool failed = ferror(file) != 0;
    fclose(file);
    if (failed) message = "cannot read " + path;
    return !failed;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes bytes to a new file beside path and renames it over path, so that path is either the old file or
// the complete new one.
bool ReplaceFile(const std::string& path, const std::vector<uint8_t>& bytes, mode_t mode, std::string& message) {
    std::string pattern = FolderOf(path) + "/.korvane-pack-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back(0);
    const int descriptor = mkstemp(name.data());
    if (descriptor < 0) {
        message = "cannot create a file beside " + path + ": " + strerror(errno);
        return false;
    }
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t count = write(descriptor, bytes.data() + written, bytes.size() - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        written += static_cast<size_t>(count);
    }
    const bool complete = written == bytes.size() && fchmod(descriptor, mode) == 0 && fsync(descriptor) == 0;
    const bool closed = close(descriptor) == 0;
    if (!complete || !closed || rename(name.data(), path.c_str()) != 0) {
        message = "cannot write " + path + ": " + strerror(errno);
        unlink(name.data());
        return false;
    }
    return true;
}

// Where a pack already at the end of bytes begins, or bytes.size() when there is none (or it is damaged, in
// which case it is left alone and the new pack simply follows it).
size_t ExistingPackStart(const std::vector<uint8_t>& bytes) {
    PackBytes pack;
    pack.UseMemory(bytes.data(), static_cast<int64_t>(bytes.size()));
    PackDirectory directory(pack);
    if (!directory.Open()) return bytes.size();
    int64_t start = directory.directory_position();
    PackEntry entry;
    int status;
    while ((status = directory.Next(entry)) == 1) {
        if (!PayloadInsidePack(pack, entry)) return bytes.size();
        start = std::min(start, entry.data_position);
    }
    return status == 0 ? static_cast<size_t>(start) : bytes.size();
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Collects the inputs named on the command line (from index first on).
bool CollectInputs(int argc, char** argv, int first, const std::string& target, std::vector<PackInput>& inputs,
                   std::string& message) {
    struct stat target_info;
    const bool target_exists = stat(target.c_str(), &target_info) == 0;
    std::string given_name;
    bool renamed = false;
    for (int i = first; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "--as") {
            if (i + 1 >= argc) {
                message = "--as needs a name and a file";
                return false;
            }
            given_name = argv[++i];
            renamed = true;
            continue;
        }
        struct stat info;
        if (stat(argument.c_str(), &info) != 0) {
            message = "cannot read " + argument + ": " + strerror(errno);
            return false;
        }
        std::vector<std::string> paths;
        if (S_ISDIR(info.st_mode) && !renamed) {
            DIR* folder = opendir(argument.c_str());
            if (folder == nullptr) {
                message = "cannot list " + argument + ": " + strerror(errno);
                return false;
            }
            while (const dirent* entry = readdir(folder)) {
                const std::string path = argument + "/" + entry->d_name;
                struct stat entry_info;
                if (stat(path.c_str(), &entry_info) != 0 || !S_ISREG(entry_info.st_mode)) continue;
                // Packing a program's folder into the program must not pack the program into itself.
                if (target_exists && SameFile(entry_info, target_info)) continue;
                paths.push_back(path);
            }
            closedir(folder);
            std::sort(paths.begin(), paths.end());
        } else {
            paths.push_back(argument);
        }
        for (const std::string& path : paths) {
            PackInput input;
            input.name = renamed ? given_name : BaseName(path);
            const std::string problem = CheckEntryName(input.name);
            if (!problem.empty()) {
                message = problem + " (" + path + ")";
                return false;
            }
            for (const PackInput& earlier : inputs) {
                if (strcasecmp(earlier.name.c_str(), input.name.c_str()) == 0) {
                    message = "two files are named " + input.name + " (letter case aside); only one can be found";
                    return false;
                }
            }
            if (!ReadFile(path, input.data, message)) return false;
            inputs.push_back(std::move(input));
        }
        renamed = false;
    }
    if (renamed) {
        message = "--as " + given_name + " names no file";
        return false;
    }
    if (inputs.empty()) {
        message = "no files to pack";
        return false;
    }
    return true;
}

int RunBuild(int argc, char** argv, bool append) {
    int index = 2;
    DirectoryForm form = DirectoryForm::kFromEnd;
    if (index < argc && strcmp(argv[index], "--from-start") == 0) {
        form = DirectoryForm::kFromStart;
        ++index;
    }
    if (index + 1 >= argc) return Usage();
    const std::string target = argv[index++];
    std::string message;
    std::vector<PackInput> inputs;
    if (!CollectInputs(argc, argv, index, target, inputs, message)) return Fail(message);

    std::vector<uint8_t> bytes;
    mode_t mode = 0644;
    if (append) {
        struct stat info;
        if (stat(target.c_str(), &info) != 0) return Fail("cannot read " + target + ": " + strerror(errno));
        mode = info.st_mode & 07777;
        if (!ReadFile(target, bytes, message)) return Fail(message);
        const size_t start = ExistingPackStart(bytes);
        if (start < bytes.size()) {
            printf("replacing the pack at the end of %s\n", target.c_str());
            bytes.resize(start);
        }
    }
    std::vector<BuiltEntry> built;
    if (!BuildPack(bytes, inputs, form, built, message)) return Fail(message);
    if (!ReplaceFile(target, bytes, mode, message)) return Fail(message);
    for (const BuiltEntry& entry : built)
        printf("added %s: %d bytes, stored in %d\n", entry.name.c_str(), entry.expanded_size, entry.stored_size);
    return 0;
}

// Opens TARGET's pack for list and extract.
bool OpenPack(const std::string& path, FILE** file, PackBytes& bytes, std::string& message) {
    *file = fopen(path.c_str(), "rb");
    if (*file == nullptr) {
        message = "cannot read " + path + ": " + strerror(errno);
        return false;
    }
    if (!bytes.UseFile(*file)) {
        message = "cannot read " + path;
        return false;
    }
    return true;
}

int RunList(int argc, char** argv) {
    if (argc != 3) return Usage();
    FILE* file = nullptr;
    PackBytes bytes;
    std::string message;
    if (!OpenPack(argv[2], &file, bytes, message)) {
        if (file != nullptr) fclose(file);
        return Fail(message);
    }
    PackDirectory directory(bytes);
    int status = -1;
    if (directory.Open()) {
        printf("    stored   expanded  name\n");
        PackEntry entry;
        while ((status = directory.Next(entry)) == 1) {
            uint8_t length[4];
            if (!PayloadInsidePack(bytes, entry) || !bytes.ReadAt(entry.data_position, length, 4)) {
                printf("%10d %10s  %s\n", entry.stored_size, "damaged", entry.name);
                continue;
            }
            printf("%10d %10d  %s\n", entry.stored_size, ReadLittleEndian32(length), entry.name);
        }
    } else {
        message = std::string(argv[2]) + " carries no pack";
    }
    fclose(file);
    if (status == -1) return Fail(message.empty() ? std::string("the pack's directory is damaged") : message);
    return 0;
}

// An entry name that is safe to use as a file name inside the destination folder.
bool SafeFileName(const PackEntry& entry) {
    if (static_cast<int>(strlen(entry.name)) != entry.name_length) return false;
    if (strcmp(entry.name, ".") == 0 || strcmp(entry.name, "..") == 0) return false;
    return strchr(entry.name, '/') == nullptr && strchr(entry.name, '\\') == nullptr;
}

int RunExtract(int argc, char** argv) {
    if (argc < 3) return Usage();
    const std::string source = argv[2];
    std::string folder = ".";
    std::vector<std::string> wanted;
    for (int i = 3; i < argc; ++i) {
        if (strcmp(argv[i], "-C") == 0) {
            if (i + 1 >= argc) return Usage();
            folder = argv[++i];
        } else {
            wanted.push_back(argv[i]);
        }
    }
    FILE* file = nullptr;
    PackBytes bytes;
    std::string message;
    if (!OpenPack(source, &file, bytes, message)) {
        if (file != nullptr) fclose(file);
        return Fail(message);
    }
    PackDirectory directory(bytes);
    if (!directory.Open()) {
        fclose(file);
        return Fail(source + " carries no pack");
    }
    PackCodec codec;
    std::vector<bool> found(wanted.size(), false);
    int result = 0;
    PackEntry entry;
    int status;
    while ((status = directory.Next(entry)) == 1) {
        bool take = wanted.empty();
        for (size_t i = 0; i < wanted.size(); ++i) {
            if (strcasecmp(wanted[i].c_str(), entry.name) == 0) {
                take = true;
                found[i] = true;
            }
        }
        if (!take) continue;
        if (!SafeFileName(entry)) {
            result = Fail("refusing to extract an entry named \"" + std::string(entry.name) +
                          "\": it is not a plain file name");
            continue;
        }
        uint8_t* block = nullptr;
        uint32_t length = 0;
        if (!ExpandPackEntry(bytes, entry, codec, &block, &length)) {
            result = Fail(std::string("entry ") + entry.name + " is damaged");
            continue;
        }
        const std::vector<uint8_t> data(block, block + length);
        delete[] block;
        const std::string path = folder + "/" + entry.name;
        if (!ReplaceFile(path, data, 0644, message)) {
            result = Fail(message);
            continue;
        }
        printf("extracted %s: %u bytes\n", entry.name, length);
    }
    fclose(file);
    if (status == -1) result = Fail("the pack's directory is damaged");
    for (size_t i = 0; i < wanted.size(); ++i)
        if (!found[i]) result = Fail("the pack holds no " + wanted[i]);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];
    if (command == "add") return RunBuild(argc, argv, true);
    if (command == "create") return RunBuild(argc, argv, false);
    if (command == "list") return RunList(argc, argv);
    if (command == "extract") return RunExtract(argc, argv);
    return Usage();
}
