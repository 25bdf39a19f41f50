// FileStream: one readable source that is either an open disk file or a memory file.
//
// Text loaders (INI and line files, text meshes) and the numbered file channels read through it, so that a
// file from disk and one taken from the resource pack ("mem://" names, files/memory_file.h) read alike.
// At most one of file and buffer is set. The buffer of a memory stream is borrowed: it stays valid only as
// long as whoever made the "mem://" name keeps it (for pack files, until the next request on that reader).
#pragma once

#include <cstdint>
#include <cstdio>

struct FileStream {
    FILE* file = nullptr;             // the open file when reading from disk
    const uint8_t* buffer = nullptr;  // the first byte when reading a memory file
    int32_t size = 0;                 // total bytes (seek-to-end and tell for files)
    int32_t position = 0;             // current read position
};

// Closes what the stream held, then opens name: a "mem://" name becomes a view of its bytes (1 when the name
// can be read), any other name is opened with OpenRequestedFile(name, "rb") (1 when it opened).
int OpenStream(FileStream& stream, const char* name);

// Reads one line into destination, which holds limit + 1 bytes. The line is the bytes before the next '\n'
// (the '\n' is consumed); a '\r' directly before the end is removed. A line longer than limit comes back in
// pieces of limit bytes, each counted as a line. 1 and the line (possibly empty), or 0 when nothing is left.
int ReadStreamLine(FileStream& stream, char* destination, int32_t limit);

// Closes a file, drops a memory view; size and position become 0.
void CloseStream(FileStream& stream);
