// The channel table and its commands.
#include "files/file_channels.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "files/case_paths.h"
#include "files/memory_file.h"
#include "files/pack_source.h"
#include "files/storage_exit.h"
#include "files/storage_io.h"
#include "frame/program.h"

namespace {

constexpr int32_t kLineCapacity = 1024;
constexpr int32_t kLineBlock = 64;
// Text reads from a file go through a bounded block, so a huge count costs no more memory than the text.
constexpr int32_t kTextBlock = 4096;

struct Channel {
    FileStream stream;
    // A file taken from the pack is owned by the channel, so later requests through the pack reader (which
    // would free the reader's block) cannot pull the bytes from under a channel still reading them.
    uint8_t* owned_block = nullptr;
};

Channel g_channels[kFileChannelCount];

// The channel, or runtime error 7 and null.
Channel* ChannelFor(uint32_t channel) {
    if (channel >= kFileChannelCount) {
        RaiseRuntimeError(kErrorChannelNumberOrAllocation);
        return nullptr;
    }
    return &g_channels[channel];
}

void TransferFailed() { RaiseRuntimeError(kErrorChannelTransfer); }

void Close(Channel& channel) {
    CloseStream(channel.stream);
    delete[] channel.owned_block;
    channel.owned_block = nullptr;
}

int32_t AddWrapping(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

size_t ReadFromFile(void* bytes, size_t count, FILE* file) {
#ifdef __GLIBC__
    return fread_unlocked(bytes, 1, count, file);
#else
    return fread(bytes, 1, count, file);
#endif
}

// Reads a value of width bytes into out (zero-filled first). False after a runtime error.
bool ReadValue(uint32_t number, uint8_t* out, int32_t width) {
    Channel* channel = ChannelFor(number);
    if (channel == nullptr) return false;
    FileStream& stream = channel->stream;
    memset(out, 0, static_cast<size_t>(width));
    if (stream.file != nullptr) {
        // The position counts the value even when the read then fails.
        const int32_t at = stream.position;
        stream.position = AddWrapping(stream.position, width);
        if (at < 0 || ReadFromFile(out, static_cast<size_t>(width), stream.file) != static_cast<size_t>(width)) {
            TransferFailed();
            return false;
        }
        return true;
    }
    if (stream.buffer != nullptr) {
        // At the very end a value reads as 0; beyond it (or before the start) is an error.
        if (stream.position < 0 || stream.position > stream.size) {
            TransferFailed();
            return false;
        }
        const int32_t copied = std::min(width, stream.size - stream.position);
        memcpy(out, stream.buffer + stream.position, static_cast<size_t>(copied));
        stream.position += copied;
        return true;
    }
    TransferFailed();
    return false;
}

uint32_t ReadLittleEndian(uint32_t channel, int32_t width) {
    uint8_t bytes[4];
    if (!ReadValue(channel, bytes, width)) return 0;
    uint32_t value = 0;
    for (int32_t i = width - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

void WriteBytes(uint32_t number, const void* bytes, size_t count) {
    Channel* channel = ChannelFor(number);
    if (channel == nullptr) return;
    if (channel->stream.file == nullptr) {
        TransferFailed();
        return;
    }
    if (count == 0) return;
    if (StorageFiles().write(bytes, count, channel->stream.file) != count) TransferFailed();
}

void WriteLittleEndian(uint32_t channel, uint32_t value, int32_t width) {
    uint8_t bytes[8];
    for (int32_t i = 0; i < width; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
    WriteBytes(channel, bytes, static_cast<size_t>(width));
}

BasicString TextOf(const char* bytes) {
    BasicString text;
    text.Assign(bytes);
    return text;
}

}  // namespace

const FileStream* FileChannelStream(uint32_t channel) {
    return channel < kFileChannelCount ? &g_channels[channel].stream : nullptr;
}

int32_t OpenFileChannel(uint32_t number, const BasicString& name, int32_t mode) {
    Channel* channel = ChannelFor(number);
    if (channel == nullptr) return 0;
    EnsureStorageExitHandler();
    Close(*channel);
    FileStream& stream = channel->stream;

    if (mode > 0) {
        // Without the runtime's readers (before start-up, after shutdown) only disk files can be read.
        PackSource disk_only;
        disk_only.enabled = 0;
        PackSource& source = g_general_pack != nullptr ? *g_general_pack : disk_only;
        BasicString found;
        if (!RequestFile(source, name, found, 1)) return 0;
        if (!OpenStream(stream, found.c_str())) return 0;
        if (source.memory_block != nullptr && stream.buffer == source.memory_block) {
            channel->owned_block = source.memory_block;
            source.memory_block = nullptr;
        }
        return 1;
    }

    if (IsMemoryFileName(name.c_str())) return 0;
    if (mode == 0) {
        remove(name.c_str());
        stream.file = OpenRequestedFile(name, "wb");
        if (stream.file == nullptr) stream.file = fopen(name.c_str(), "wb");
        if (stream.file == nullptr) printf("can't write to file: %s\n", name.c_str());
    } else {
        stream.file = OpenRequestedFile(name, "ab");
    }
    return stream.file != nullptr ? 1 : 0;
}

void CloseFileChannel(uint32_t number) {
    if (Channel* channel = ChannelFor(number)) Close(*channel);
}

void CloseAllChannels() {
    for (Channel& channel : g_channels) Close(channel);
}

void WriteByte(uint32_t channel, int32_t value) { WriteLittleEndian(channel, static_cast<uint32_t>(value), 1); }
void WriteWord(uint32_t channel, int32_t value) { WriteLittleEndian(channel, static_cast<uint32_t>(value), 2); }
void WriteLong(uint32_t channel, int32_t value) { WriteLittleEndian(channel, static_cast<uint32_t>(value), 4); }

void WriteSingle(uint32_t channel, float value) {
    uint32_t bits;
    memcpy(&bits, &value, 4);
    WriteLittleEndian(channel, bits, 4);
}

void WriteDouble(uint32_t channel, float value) {
    const double wide = value;
    uint64_t bits;
    memcpy(&bits, &wide, 8);
    uint8_t bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    WriteBytes(channel, bytes, 8);
}

void WriteText(uint32_t channel, const BasicString& text) { WriteBytes(channel, text.c_str(), text.length()); }

void WriteLine(uint32_t channel, const BasicString& text) {
    // One transfer for text and line end: a line is written whole or not at all as far as the caller sees.
    const uint32_t length = text.length();
    if (length <= 254) {
        char line[256];
        memcpy(line, text.c_str(), length);
        line[length] = '\r';
        line[length + 1] = '\n';
        WriteBytes(channel, line, length + 2);
        return;
    }
    WriteBytes(channel, text.c_str(), length);
    WriteBytes(channel, "\r\n", 2);
}

void WriteLine(uint32_t channel, int32_t value) { WriteLine(channel, BasicString(value)); }
void WriteLine(uint32_t channel, float value) { WriteLine(channel, BasicString(value)); }
void WriteLine(uint32_t channel, double value) { WriteLine(channel, BasicString(value)); }

int32_t ReadByte(uint32_t channel) { return static_cast<int32_t>(ReadLittleEndian(channel, 1)); }
int32_t ReadWord(uint32_t channel) { return static_cast<int16_t>(ReadLittleEndian(channel, 2)); }
int32_t ReadUnsignedWord(uint32_t channel) { return static_cast<int32_t>(ReadLittleEndian(channel, 2)); }
int32_t ReadLong(uint32_t channel) { return static_cast<int32_t>(ReadLittleEndian(channel, 4)); }

float ReadSingle(uint32_t channel) {
    const uint32_t bits = ReadLittleEndian(channel, 4);
    float value;
    memcpy(&value, &bits, 4);
    return value;
}

float ReadDouble(uint32_t channel) {
    uint8_t bytes[8];
    if (!ReadValue(channel, bytes, 8)) return 0;
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = bits << 8 | bytes[i];
    double value;
    memcpy(&value, &bits, 8);
    return static_cast<float>(value);
}

BasicString ReadText(uint32_t number, int32_t count) {
    Channel* channel = ChannelFor(number);
    if (channel == nullptr || count < 1) return BasicString();
    FileStream& stream = channel->stream;

    if (stream.buffer != nullptr && stream.file == nullptr) {
        if (stream.position < 0 || stream.position > stream.size) {
            TransferFailed();
            return BasicString();
        }
        // The text is what lies before the first zero byte among the bytes there are.
        const int32_t copied = std::min(count, stream.size - stream.position);
        const uint8_t* start = stream.buffer + stream.position;
        const void* zero = memchr(start, 0, static_cast<size_t>(copied));
        const size_t length = zero != nullptr ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - start)
                                              : static_cast<size_t>(copied);
        stream.position += copied;
        std::vector<char> text(length + 1, 0);
        memcpy(text.data(), start, length);
        return TextOf(text.data());
    }
    if (stream.file == nullptr) {
        TransferFailed();
        return BasicString();
    }

    const int32_t at = stream.position;
    stream.position = AddWrapping(stream.position, count);
    if (at < 0) {
        TransferFailed();
        return BasicString();
    }
    // Read in blocks; keep bytes only up to the first zero, but consume all count of them.
    std::vector<char> text;
    char block[kTextBlock];
    bool ended = false;
    int32_t left = count;
    while (left > 0) {
        const size_t want = static_cast<size_t>(std::min(left, kTextBlock));
        const size_t got = ReadFromFile(block, want, stream.file);
        if (!ended) {
            const void* zero = memchr(block, 0, got);
            const size_t keep = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - block) : got;
            text.insert(text.end(), block, block + keep);
            ended = zero != nullptr;
        }
        if (got != want) {
            TransferFailed();
            return BasicString();
        }
        left -= static_cast<int32_t>(got);
    }
    text.push_back(0);
    return TextOf(text.data());
}

BasicString ReadLine(uint32_t number) {
    Channel* channel = ChannelFor(number);
    if (channel == nullptr) return BasicString();
    FileStream& stream = channel->stream;
    // One byte beyond the longest line, so the text always ends inside the buffer.
    char line[kLineCapacity + 1];
    int32_t length = 0;

    if (stream.file != nullptr) {
        // Blocks of 64 bytes scanned for the '\n'; the bytes read past it are given back by seeking, which
        // stays inside the stdio buffer.
        bool any = false;
        bool found = false;
        while (length < kLineCapacity) {
            const int32_t want = std::min(kLineBlock, kLineCapacity - length);
            const int32_t got = static_cast<int32_t>(ReadFromFile(line + length, static_cast<size_t>(want), stream.file));
            if (got == 0) break;
            any = true;
            const void* end = memchr(line + length, '\n', static_cast<size_t>(got));
            if (end != nullptr) {
                const int32_t at = static_cast<int32_t>(static_cast<const char*>(end) - line);
                const int32_t read_past = length + got - at - 1;
                if (read_past > 0) fseek(stream.file, -static_cast<long>(read_past), SEEK_CUR);
                length = at;
                found = true;
                break;
            }
            length += got;
            if (got < want) break;
        }
        if (!any) {
            TransferFailed();
            return BasicString();
        }
        stream.position = AddWrapping(stream.position, length + (found ? 1 : 0));
    } else if (stream.buffer != nullptr) {
        if (stream.position < 0 || stream.position >= stream.size) {
            TransferFailed();
            return BasicString();
        }
        const int32_t available = std::min(kLineCapacity, stream.size - stream.position);
        const uint8_t* start = stream.buffer + stream.position;
        const void* end = memchr(start, '\n', static_cast<size_t>(available));
        length = end != nullptr ? static_cast<int32_t>(static_cast<const uint8_t*>(end) - start) : available;
        memcpy(line, start, static_cast<size_t>(length));
        stream.position += length + (end != nullptr ? 1 : 0);
    } else {
        TransferFailed();
        return BasicString();
    }

    // The text ends at its first zero byte; a '\r' ending it is the rest of a "\r\n".
    line[length] = 0;
    length = static_cast<int32_t>(strlen(line));
    if (length > 0 && line[length - 1] == '\r') line[length - 1] = 0;
    return TextOf(line);
}

int32_t ReadLineToInt(uint32_t channel) { return ReadLine(channel).ToInt(); }
float ReadLineToFloat(uint32_t channel) { return ReadLine(channel).ToFloat(); }

void SeekChannel(uint32_t number, int32_t offset, int32_t mode) {
    Channel* channel = ChannelFor(number);
    if (channel == nullptr) return;
    FileStream& stream = channel->stream;
    if (stream.file == nullptr && stream.buffer == nullptr) return;
    if (mode == 0) {
        stream.position = offset;
    } else if (mode > 0) {
        stream.position = AddWrapping(stream.position, offset);
    } else {
        stream.position = AddWrapping(stream.size, offset);
    }
    if (stream.file != nullptr) fseek(stream.file, stream.position, SEEK_SET);
}

int32_t ChannelPosition(uint32_t number) {
    Channel* channel = ChannelFor(number);
    return channel != nullptr ? channel->stream.position : 0;
}

int32_t EndOfChannel(uint32_t number) {
    Channel* channel = ChannelFor(number);
    if (channel == nullptr) return 1;
    return channel->stream.position >= channel->stream.size ? 1 : 0;
}
