// The INI table: one settings file at a time, held in memory as sections of key/value pairs.
//
// Sections and keys are found without regard to letter case; the first of equal names wins. The table is
// read through the file layer (so settings can come from the resource pack) and written back, only when
// something changed, when the next file is opened and at the end of the program. A file from the pack has a
// "mem://" name and is never written; a file found nowhere gives an empty table that is never saved.
//
// Reading rules, line by line: leading blanks, tabs and line-end bytes are skipped and empty lines ignored;
// ';' starts a comment; "[name]" starts a section (the name ends at a blank, tab or '=', a closing ']' is
// dropped, so "[ Video ]" is "Video" and "[My Video]" is "My"); any other line is key=value (blanks and tabs
// allowed around '=', the value keeps its trailing blanks but loses trailing control bytes). Lines without
// '=' or with an empty value are ignored. Entries before the first header go to a section with an empty
// name. A section without entries is not kept; equal sections are not merged.
//
// Saved form: "[name]\r\n" and "key=value\r\n" per entry, in table order; comments are not kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "files/file_stream.h"
#include "text/basic_string.h"

struct IniEntry {
    BasicString key;
    BasicString value;
};

struct IniSection {
    BasicString name;
    std::vector<IniEntry> entries;
};

struct IniTable {
    std::vector<IniSection> sections;
    BasicString file_name;  // where the table came from and goes to; empty when the file was found nowhere
    uint8_t changed = 0;
};

// The commands, over the process's one table.
void IniOpen(const BasicString& name);
// The value, or "NO_DATA".
BasicString IniRead(const BasicString& section, const BasicString& key);
// An empty key removes the whole section; an empty value removes the key (a missing key is added even so).
void IniWrite(const BasicString& section, const BasicString& key, const BasicString& value);

// The same over any table, for tools and tests.
void LoadIniTable(IniTable& table, const BasicString& name);
void ReadIniStream(IniTable& table, FileStream& stream);
const BasicString* FindIniValue(const IniTable& table, const BasicString& section, const BasicString& key);
void WriteIniValue(IniTable& table, const BasicString& section, const BasicString& key, const BasicString& value);
// The bytes the table is saved as.
std::string IniTableText(const IniTable& table);
// Saves when changed and named by a disk name; true when nothing needed saving or the file was replaced.
bool SaveIniTable(IniTable& table);

// The process's table; saved and emptied at the end of storage.
IniTable& TheIniTable();
// Saves the process's table when changed (at shutdown and at exit); with release, empties it afterwards.
void FinishIniTable(bool release);
