// The line file store.
#include "files/line_files.h"

#include <cmath>
#include <cstring>
#include <string>

#include "files/file_stream.h"
#include "files/memory_file.h"
#include "files/pack_source.h"
#include "files/storage_exit.h"
#include "files/storage_io.h"
#include "frame/program.h"

namespace {

constexpr char kNoData[] = "NO_DATA";
constexpr char kNoFile[] = "NO_FILE";
constexpr int32_t kReadLimit = 1024;

LineFile* g_line_file = nullptr;

LineFile& TheLineFile() {
    if (g_line_file == nullptr) {
        g_line_file = new LineFile();
        ClearLineFile(*g_line_file);
        EnsureStorageExitHandler();
    }
    return *g_line_file;
}

// The line number, truncated toward zero; -1 for anything outside 0..255 (NaN included).
int32_t LineIndex(float line) {
    if (!(line > -1.0f && line < static_cast<float>(kLineFileLines))) return -1;
    return static_cast<int32_t>(line);
}

void CopyIntoLine(char* slot, const char* text, size_t length) {
    if (length > static_cast<size_t>(kLineFileLineBytes - 1)) length = kLineFileLineBytes - 1;
    memcpy(slot, text, length);
    slot[length] = 0;
}

}  // namespace

void ClearLineFile(LineFile& store) {
    memset(store.lines, 0, sizeof(store.lines));
    store.last_line = 0;
    store.changed = 0;
}

bool WriteBackLineFile(LineFile& store) {
    if (!store.changed || store.file_name.empty() || IsMemoryFileName(store.file_name.c_str())) {
        store.changed = 0;
        return true;
    }
    std::string text;
    for (int32_t i = 0; i <= store.last_line; ++i) {
        text += store.lines[i];
        text += "\r\n";
    }
    if (!ReplaceFileContents(store.file_name.c_str(), text.data(), text.size())) return false;
    store.changed = 0;
    return true;
}

bool SwitchLineFile(LineFile& store, const BasicString& name) {
    if (name == store.file_name) return true;
    // What is written back is the store's current file, under its own name, before the new name is taken.
    WriteBackLineFile(store);
    ClearLineFile(store);
    store.file_name = name;

    PackSource disk_only;
    disk_only.enabled = 0;
    PackSource& source = g_general_pack != nullptr ? *g_general_pack : disk_only;
    BasicString found;
    FileStream stream;
    if (!RequestFile(source, name, found, 1) || !OpenStream(stream, found.c_str())) {
        SetEndReason(kErrorChannelTransfer);
        return false;
    }
    // Lines come in pieces of up to 1024 bytes; a slot keeps the first 1023 of a piece.
    char line[kReadLimit + 1];
    int32_t count = 0;
    while (count < kLineFileLines && ReadStreamLine(stream, line, kReadLimit)) {
        CopyIntoLine(store.lines[count], line, strnlen(line, kReadLimit));
        ++count;
    }
    CloseStream(stream);
    store.last_line = count > 0 ? count - 1 : 0;
    return true;
}

BasicString ReadFileLine(const BasicString& name, float line) {
    const int32_t index = LineIndex(line);
    if (index < 0) {
        SetEndReason(kErrorChannelNumberOrAllocation);
        return BasicString(kNoData);
    }
    LineFile& store = TheLineFile();
    if (!SwitchLineFile(store, name)) return BasicString(kNoFile);
    BasicString text(store.lines[index]);
    text.TrimControlTail();
    return text.empty() ? BasicString(kNoData) : text;
}

int32_t ReadFileLineToInt(const BasicString& name, float line) { return ReadFileLine(name, line).ToInt(); }
float ReadFileLineToFloat(const BasicString& name, float line) { return ReadFileLine(name, line).ToFloat(); }

void WriteFileLine(const BasicString& name, float line, const BasicString& text) {
    const int32_t index = LineIndex(line);
    if (index < 0) {
        SetEndReason(kErrorChannelNumberOrAllocation);
        return;
    }
    LineFile& store = TheLineFile();
    SwitchLineFile(store, name);
    CopyIntoLine(store.lines[index], text.c_str(), text.length());
    if (index > store.last_line) store.last_line = index;
    store.changed = 1;
}

void WriteFileLine(const BasicString& name, float line, int32_t value) { WriteFileLine(name, line, BasicString(value)); }
void WriteFileLine(const BasicString& name, float line, float value) { WriteFileLine(name, line, BasicString(value)); }
void WriteFileLine(const BasicString& name, float line, double value) { WriteFileLine(name, line, BasicString(value)); }

void FinishLineFile(bool release) {
    if (g_line_file == nullptr) return;
    WriteBackLineFile(*g_line_file);
    if (release) {
        delete g_line_file;
        g_line_file = nullptr;
    }
}
