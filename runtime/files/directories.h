// Whole files and directories: existence and size, copying and deleting, the working directory, listing a
// directory with a wildcard pattern.
//
// Failures show in the results (and in the file layer's lines on standard output); none ends the program.
#pragma once

#include <cstdint>

#include "text/arrays.h"
#include "text/basic_string.h"

// 1.0 when the name opens as a stream: on disk (case-insensitive) or a "mem://" name. Pack contents do not
// count.
float FileExists(const BasicString& name);
// The length of what the name opens as a stream; 0 when it does not open.
int32_t FileSize(const BasicString& name);
// Copies source (disk or "mem://") to destination. The destination is replaced only once the whole copy is
// on the device; when anything fails the old destination stays as it was.
void CopyFile(const BasicString& source, const BasicString& destination);
// remove(): 0 on success.
int32_t DeleteFile(const BasicString& name);
// chdir(): 1.0 on success, 0.0 on failure.
float ChangeDirectory(const BasicString& name);
// 1 when the name exists and is a directory.
int32_t IsDirectory(const BasicString& name);
// The working directory with '/' separators, ending in '/'; empty when it cannot be read.
BasicString CurrentDirectory();
// Lists the working directory into result: every directory first ("." and ".." included, whatever the
// pattern), then every other entry whose name matches pattern, each group in the order the system reads
// them. Returns files + 65536 x directories; 0 and an empty array when the directory cannot be read.
int32_t ListDirectory(const BasicString& pattern, StrArray& result);
// The wildcard test: '?' is one character other than '.', '*' any run; letters match regardless of case;
// "*.*" matches every name.
int32_t MatchPattern(const BasicString& pattern, const BasicString& name);
int32_t MatchPattern(const char* pattern, const char* name);
// Replaces every '\' by '/'.
void SlashPath(BasicString& path);
