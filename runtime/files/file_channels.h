// The eight numbered file channels: binary and line-by-line reading and writing of data files.
//
// A channel opened for reading takes its file from disk (with the case-insensitive fallback) or, when the
// file is not on disk, from the resource pack appended to the executable; a channel opened for writing or
// appending always writes a disk file. Every number crosses the channel little-endian: bytes, 16-bit words,
// 32-bit integers, singles as their 4 raw bytes, doubles as 8 bytes (widened from and narrowed to single).
//
// Misuse ends the program: a channel number above 7 is runtime error 7; a transfer that fails, a read past
// the end of a file, or a transfer on a closed channel is runtime error 3.
//
// Position and end tests count what was read; a channel opened for writing or appending keeps its position
// and size at 0, so there EndOfChannel is 1 and ChannelPosition 0.
#pragma once

#include <cstdint>

#include "files/file_stream.h"
#include "text/basic_string.h"

constexpr uint32_t kFileChannelCount = 8;

// The stream behind a channel (0..7), for inspection; null for other numbers.
const FileStream* FileChannelStream(uint32_t channel);

// mode > 0 reads, mode 0 writes a new file (the old one is deleted first), mode < 0 appends. Closes whatever
// the channel held first. 1 when open, 0 when not (a "mem://" name cannot be written or appended).
int32_t OpenFileChannel(uint32_t channel, const BasicString& name, int32_t mode);
void CloseFileChannel(uint32_t channel);
// Closes channels 0 to 7; run at shutdown and at exit.
void CloseAllChannels();

void WriteByte(uint32_t channel, int32_t value);    // the low 8 bits
void WriteWord(uint32_t channel, int32_t value);    // the low 16 bits
void WriteLong(uint32_t channel, int32_t value);
void WriteSingle(uint32_t channel, float value);
void WriteDouble(uint32_t channel, float value);
void WriteText(uint32_t channel, const BasicString& text);  // the text's bytes, no terminator
// The text, then "\r\n". Numbers are written as the runtime prints them.
void WriteLine(uint32_t channel, const BasicString& text);
void WriteLine(uint32_t channel, int32_t value);
void WriteLine(uint32_t channel, float value);
void WriteLine(uint32_t channel, double value);

int32_t ReadByte(uint32_t channel);           // 0..255
int32_t ReadWord(uint32_t channel);           // -32768..32767
int32_t ReadUnsignedWord(uint32_t channel);   // 0..65535
int32_t ReadLong(uint32_t channel);
float ReadSingle(uint32_t channel);
float ReadDouble(uint32_t channel);
// count bytes; the text ends at the first zero byte. count < 1 gives "" and reads nothing.
BasicString ReadText(uint32_t channel, int32_t count);
// One line of at most 1024 bytes without its "\n" and without a '\r' before it; the text ends at a zero byte.
BasicString ReadLine(uint32_t channel);
int32_t ReadLineToInt(uint32_t channel);
float ReadLineToFloat(uint32_t channel);

// mode 0: position = offset; mode > 0: position += offset; mode < 0: position = size + offset.
void SeekChannel(uint32_t channel, int32_t offset, int32_t mode);
int32_t ChannelPosition(uint32_t channel);
// 1 when the position has reached the size.
int32_t EndOfChannel(uint32_t channel);
