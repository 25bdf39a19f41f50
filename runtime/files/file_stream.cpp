// Streams over files and memory files, and reading them line by line.
#include "files/file_stream.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "files/case_paths.h"
#include "files/memory_file.h"

namespace {

// Files are read in small blocks so that a line costs little more than its own length; the bytes read past
// the line end are given back by seeking.
constexpr int32_t kLineBlockSize = 64;

int32_t FinishLine(char* destination, int32_t length) {
    destination[length] = 0;
    if (length > 0 && destination[length - 1] == '\r') destination[length - 1] = 0;
    return 1;
}

int ReadFileLine(FileStream& stream, char* destination, int32_t limit) {
    int32_t count = 0;
    while (count < limit) {
        const int32_t want = std::min(kLineBlockSize, limit - count);
        const int32_t got = static_cast<int32_t>(fread(destination + count, 1, static_cast<size_t>(want), stream.file));
        const void* line_end = got > 0 ? memchr(destination + count, '\n', static_cast<size_t>(got)) : nullptr;
        if (line_end != nullptr) {
            const int32_t length = static_cast<int32_t>(static_cast<const char*>(line_end) - destination);
            const int32_t read_past = count + got - length - 1;
            if (read_past > 0) fseek(stream.file, -static_cast<long>(read_past), SEEK_CUR);
            stream.position += length + 1;
            return FinishLine(destination, length);
        }
        count += got;
        if (got < want) break;
    }
    if (count == 0) {
        destination[0] = 0;
        return 0;
    }
    stream.position += count;
    return FinishLine(destination, count);
}

int ReadMemoryLine(FileStream& stream, char* destination, int32_t limit) {
    if (stream.position < 0 || stream.position >= stream.size) {
        destination[0] = 0;
        return 0;
    }
    const int32_t available = std::min(limit, stream.size - stream.position);
    const uint8_t* start = stream.buffer + stream.position;
    const void* line_end = memchr(start, '\n', static_cast<size_t>(available));
    const int32_t length =
        line_end != nullptr ? static_cast<int32_t>(static_cast<const uint8_t*>(line_end) - start) : available;
    memcpy(destination, start, static_cast<size_t>(length));
    stream.position += length + (line_end != nullptr ? 1 : 0);
    return FinishLine(destination, length);
}

}  // namespace

int OpenStream(FileStream& stream, const char* name) {
    CloseStream(stream);
    if (IsMemoryFileName(name)) {
        MemoryFile memory;
        if (!ParseMemoryFileName(name, memory)) return 0;
        stream.buffer = memory.data;
        stream.size = memory.size;
        return 1;
    }
    stream.file = OpenRequestedFile(name, "rb");
    if (stream.file == nullptr) return 0;
    fseek(stream.file, 0, SEEK_END);
    const long length = ftell(stream.file);
    fseek(stream.file, 0, SEEK_SET);
    stream.size = length < 0 ? 0 : static_cast<int32_t>(std::min<long>(length, INT32_MAX));
    return 1;
}

int ReadStreamLine(FileStream& stream, char* destination, int32_t limit) {
    // A limit below one could never make progress; it reads as the end.
    if (limit < 1) {
        if (limit == 0) destination[0] = 0;
        return 0;
    }
    if (stream.file != nullptr) return ReadFileLine(stream, destination, limit);
    if (stream.buffer != nullptr) return ReadMemoryLine(stream, destination, limit);
    destination[0] = 0;
    return 0;
}

void CloseStream(FileStream& stream) {
    if (stream.file != nullptr) fclose(stream.file);
    stream.file = nullptr;
    stream.buffer = nullptr;
    stream.size = 0;
    stream.position = 0;
}
