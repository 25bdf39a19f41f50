// The pack readers and file requests.
#include "files/pack_source.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "files/case_paths.h"
#include "files/memory_file.h"
#include "files/pack_codec.h"
#include "files/resource_pack.h"

PackSource* g_music_pack = nullptr;
PackSource* g_general_pack = nullptr;

namespace {

constexpr char kCardFolder[] = "/mnt/sd/";
// Longest name that fits a request's 1024-byte result.
constexpr size_t kLongestResult = 1023;

void FreeMemoryBlock(PackSource& source) {
    delete[] source.memory_block;
    source.memory_block = nullptr;
}

void DeleteTemporaryFile(PackSource& source) {
    if (source.temp_file[0] != 0) remove(source.temp_file);
    source.temp_file[0] = 0;
}

// What SetPackFile and shutdown release: the memory block, or when there is none the temporary file.
void ReleaseHeld(PackSource& source) {
    if (source.memory_block != nullptr) {
        FreeMemoryBlock(source);
    } else {
        DeleteTemporaryFile(source);
    }
    source.temp_file[0] = 0;
}

bool IsWritableFolder(const char* path) {
    struct stat info;
    return stat(path, &info) == 0 && S_ISDIR(info.st_mode) && access(path, W_OK | X_OK) == 0;
}

// The characters after the last '/' or '\'.
const char* BaseName(const char* name) {
    const char* base = name;
    for (const char* c = name; *c != 0; ++c)
        if (*c == '/' || *c == '\\') base = c + 1;
    return base;
}

// Writes the bytes to a new file under exactly this name. Whatever lies under the name is removed first, and
// the file is created exclusively without following links, so that in a shared folder a file or link
// planted under the name can neither receive the bytes nor redirect them.
bool WriteTemporaryFile(const char* path, const uint8_t* bytes, uint32_t length) {
    unlink(path);
    const int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor < 0) return false;
    uint32_t written = 0;
    while (written < length) {
        const ssize_t count = write(descriptor, bytes + written, length - written);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) break;
        written += static_cast<uint32_t>(count);
    }
    const bool closed = close(descriptor) == 0;
    if (written != length || !closed) {
        unlink(path);
        return false;
    }
    return true;
}

// Opens the reader's pack. False (and the reader disabled) when it cannot be opened or measured.
bool OpenPack(PackSource& source, PackBytes& bytes, FILE** file) {
    *file = nullptr;
    if (IsMemoryFileName(source.pack_name)) {
        MemoryFile memory;
        if (!ParseMemoryFileName(source.pack_name, memory)) return false;
        bytes.UseMemory(memory.data, memory.size);
        return true;
    }
    *file = OpenRequestedFile(source.pack_name, "rb");
    if (*file == nullptr) return false;
    if (!bytes.UseFile(*file)) {
        fclose(*file);
        *file = nullptr;
        return false;
    }
    return true;
}

// Looks the base name up in the pack and expands its entry. 1 with the bytes, 0 when it is not there or the
// pack is damaged, -1 when the pack could not be opened.
int TakeFromPack(PackSource& source, const char* base_name, PackEntry& entry, uint8_t** block, uint32_t* length) {
    PackBytes bytes;
    FILE* file = nullptr;
    if (!OpenPack(source, bytes, &file)) return -1;
    const size_t base_length = strlen(base_name);
    PackDirectory directory(bytes);
    int found = 0;
    if (directory.Open()) {
        int status;
        while ((status = directory.Next(entry)) == 1) {
            // The whole entry name must equal the base name; other lengths are skipped without comparing.
            if (static_cast<size_t>(entry.name_length) == base_length &&
                strncasecmp(entry.name, base_name, base_length) == 0) {
                static PackCodec codec;
                found = ExpandPackEntry(bytes, entry, codec, block, length) ? 1 : 0;
                break;
            }
        }
    }
    if (file != nullptr) fclose(file);
    return found;
}

}  // namespace

void CreatePackSources() {
    if (g_music_pack == nullptr) g_music_pack = new PackSource();
    if (g_general_pack == nullptr) g_general_pack = new PackSource();
}

void SetPackFile(const char* name) {
    if (name == nullptr || strlen(name) >= sizeof(PackSource::pack_name)) name = "";
    for (PackSource* source : {g_music_pack, g_general_pack}) {
        if (source == nullptr) continue;
        ReleaseHeld(*source);
        source->enabled = 1;
        memcpy(source->pack_name, name, strlen(name) + 1);
    }
}

int RequestFile(PackSource& source, const BasicString& wanted_name, BasicString& out_name, int to_memory) {
    FreeMemoryBlock(source);
    DeleteTemporaryFile(source);
    out_name.Clear();
    if (wanted_name.empty()) return 0;

    bool present = IsMemoryFileName(wanted_name.c_str());
    if (!present) {
        if (FILE* file = OpenRequestedFile(wanted_name, "rb")) {
            fclose(file);
            present = true;
        }
    }
    if (present) {
        out_name = wanted_name;
        return 1;
    }

    if (source.enabled == 0) return 0;
    if (source.pack_name[0] == 0) {
        source.enabled = 0;
        return 0;
    }

    PackEntry entry;
    uint8_t* block = nullptr;
    uint32_t length = 0;
    const int taken = TakeFromPack(source, BaseName(wanted_name.c_str()), entry, &block, &length);
    if (taken < 0) {
        source.enabled = 0;
        return 0;
    }
    if (taken == 0) return 0;

    if (to_memory != 0) {
        source.memory_block = block;
        out_name = MemoryFileName(block, length);
        return 1;
    }

    // The entry's name equals the base name, which holds no '/' or '\', so the file stays in the folder.
    const BasicString folder = TemporaryFolder();
    const BasicString path = TemporaryFileName(folder.c_str(), entry.data_offset, entry.stored_size, entry.name);
    const bool written = path.length() <= kLongestResult && WriteTemporaryFile(path.c_str(), block, length);
    delete[] block;
    if (!written) {
        printf("can't write to file: %s\n", path.c_str());
        return 0;
    }
    memcpy(source.temp_file, path.c_str(), path.length() + 1);
    out_name = path;
    return 1;
}

void ReleasePackSources() {
    for (PackSource** source : {&g_music_pack, &g_general_pack}) {
        if (*source == nullptr) continue;
        ReleaseHeld(**source);
        delete *source;
        *source = nullptr;
    }
}

BasicString ChooseTemporaryFolder(const char* card_folder, const char* tmpdir) {
    if (card_folder != nullptr && IsWritableFolder(card_folder)) {
        BasicString folder(card_folder);
        if (folder.empty() || folder.c_str()[folder.length() - 1] != '/') folder += "/";
        return folder;
    }
    BasicString folder(tmpdir != nullptr && tmpdir[0] != 0 ? tmpdir : "/tmp");
    if (folder.c_str()[folder.length() - 1] != '/') folder += "/";
    return folder;
}

BasicString TemporaryFolder() { return ChooseTemporaryFolder(kCardFolder, getenv("TMPDIR")); }

BasicString TemporaryFileName(const char* folder, int32_t data_offset, int32_t stored_size, const char* entry_name) {
    const char letters[3] = {static_cast<char>('A' + static_cast<uint8_t>(data_offset) % 26),
                             static_cast<char>('A' + static_cast<uint8_t>(stored_size) % 26), 0};
    BasicString name(folder);
    name += "sbx";
    name += letters;
    name += entry_name;
    return name;
}
