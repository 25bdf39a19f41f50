// Finding files without regard to letter case.
//
// Game data made on a case-insensitive system runs on the handheld's case-sensitive file system. When a file
// is not found under its exact name, the last path component is matched, ignoring case, against the entries
// of its directory, in the order the system lists them; the first match wins. The directory part itself is
// never corrected: "data/pic.png" is not found when the folder is called "DATA".
//
// Loaders normally do not call these directly: RequestFile (files/pack_source.h) turns a wanted name into an
// openable one, and OpenRequestedFile then opens it.
#pragma once

#include <cstdio>

#include "text/basic_string.h"

// 1 and the name under which path exists (itself, or with its last component case-corrected), or 0 and an
// empty out_path.
int FindCaseInsensitive(const char* path, BasicString& out_path);
inline int FindCaseInsensitive(const BasicString& path, BasicString& out_path) {
    return FindCaseInsensitive(path.c_str(), out_path);
}

// Opens path with mode, falling back to the case-corrected name. For a mode containing 'w' or 'a' a file that
// matches nothing is created under the exact name. Null on failure, after one line on standard output:
//   request: fopen_case("<path>", "<mode>") opens "<resolved>": failed   (found, but would not open)
//   wrt-request: fopen("<path>", "<mode>") failed                         (could not be created; blank line follows)
//   request: fopen("<path>", "<mode>") failed                             (exists nowhere)
FILE* OpenRequestedFile(const char* path, const char* mode);
inline FILE* OpenRequestedFile(const BasicString& path, const char* mode) {
    return OpenRequestedFile(path.c_str(), mode);
}
