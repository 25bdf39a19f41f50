// The INI table: reading, looking up, changing and saving.
#include "files/ini_files.h"

#include <cstring>
#include <strings.h>

#include "files/memory_file.h"
#include "files/pack_source.h"
#include "files/storage_exit.h"
#include "files/storage_io.h"

namespace {

constexpr int32_t kIniLineLimit = 1024;
constexpr char kNoData[] = "NO_DATA";

IniTable* g_ini_table = nullptr;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLeadingSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool EndsName(char c) { return c == 0 || c == ' ' || c == '\t' || c == '=' || c == '\r' || c == '\n'; }

// Equal ignoring case. Case folding keeps lengths, so texts of different lengths are told apart at once.
bool SameName(const BasicString& a, const BasicString& b) {
    return a.length() == b.length() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

BasicString Text(const char* start, size_t length) {
    BasicString text;
    if (length == 0) return text;
    text.Reserve(static_cast<uint32_t>(length), false);
    memcpy(text.data(), start, length);
    text.data()[length] = 0;
    text.UpdateLength();
    return text;
}

IniSection* FindSection(IniTable& table, const BasicString& name, size_t* index = nullptr) {
    for (size_t i = 0; i < table.sections.size(); ++i) {
        if (SameName(table.sections[i].name, name)) {
            if (index != nullptr) *index = i;
            return &table.sections[i];
        }
    }
    return nullptr;
}

// Removes element i by moving the last one into its place (the order changes, as the saved file shows).
template <typename T>
void RemoveByMovingLast(std::vector<T>& items, size_t i) {
    if (i + 1 != items.size()) items[i] = std::move(items.back());
    items.pop_back();
}

// Reads one line into the table. pending is the section the next entry goes to; it joins the table only
// when it receives its first entry.
void ReadIniLine(IniTable& table, const char* line, IniSection& pending, bool& pending_stored) {
    while (IsLeadingSpace(*line)) ++line;
    if (*line == 0 || *line == ';') return;

    if (*line == '[') {
        ++line;
        while (IsBlank(*line)) ++line;
        const char* end = line;
        while (!EndsName(*end)) ++end;
        size_t length = static_cast<size_t>(end - line);
        if (length > 0 && line[length - 1] == ']') --length;
        pending = IniSection();
        pending.name = Text(line, length);
        pending_stored = false;
        return;
    }

    const char* key_end = line;
    while (!EndsName(*key_end)) ++key_end;
    const char* at = key_end;
    while (IsLeadingSpace(*at)) ++at;
    if (*at != '=') return;
    ++at;
    while (IsBlank(*at)) ++at;
    size_t value_length = strlen(at);
    while (value_length > 0 && static_cast<unsigned char>(at[value_length - 1]) < 32) --value_length;
    if (value_length == 0) return;

    IniSection* section;
    if (pending_stored) {
        section = &table.sections.back();
    } else {
        table.sections.push_back(std::move(pending));
        pending = IniSection();
        pending_stored = true;
        section = &table.sections.back();
    }
    section->entries.push_back(IniEntry{Text(line, static_cast<size_t>(key_end - line)), Text(at, value_length)});
}

}  // namespace

void ReadIniStream(IniTable& table, FileStream& stream) {
    char line[kIniLineLimit + 1];
    IniSection pending;
    bool pending_stored = false;
    while (ReadStreamLine(stream, line, kIniLineLimit)) ReadIniLine(table, line, pending, pending_stored);
}

void LoadIniTable(IniTable& table, const BasicString& name) {
    table.sections.clear();
    table.changed = 0;
    PackSource disk_only;
    disk_only.enabled = 0;
    PackSource& source = g_general_pack != nullptr ? *g_general_pack : disk_only;
    BasicString found;
    RequestFile(source, name, found, 1);
    table.file_name = found;
    if (found.empty()) return;
    FileStream stream;
    if (OpenStream(stream, found.c_str())) ReadIniStream(table, stream);
    CloseStream(stream);
}

const BasicString* FindIniValue(const IniTable& table, const BasicString& section, const BasicString& key) {
    IniSection* found = FindSection(const_cast<IniTable&>(table), section);
    if (found == nullptr) return nullptr;
    for (const IniEntry& entry : found->entries)
        if (SameName(entry.key, key)) return &entry.value;
    return nullptr;
}

void WriteIniValue(IniTable& table, const BasicString& section, const BasicString& key, const BasicString& value) {
    size_t index = 0;
    IniSection* found = FindSection(table, section, &index);
    if (key.empty()) {
        if (found != nullptr) {
            RemoveByMovingLast(table.sections, index);
            table.changed = 1;
        }
        return;
    }
    if (found == nullptr) {
        table.sections.push_back(IniSection());
        table.sections.back().name = section;
        found = &table.sections.back();
    }
    table.changed = 1;
    std::vector<IniEntry>& entries = found->entries;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (!SameName(entries[i].key, key)) continue;
        if (value.empty()) {
            RemoveByMovingLast(entries, i);
        } else {
            entries[i].value = value;
        }
        return;
    }
    entries.push_back(IniEntry{key, value});
}

std::string IniTableText(const IniTable& table) {
    std::string text;
    for (const IniSection& section : table.sections) {
        text += '[';
        text.append(section.name.c_str(), section.name.length());
        text += "]\r\n";
        for (const IniEntry& entry : section.entries) {
            text.append(entry.key.c_str(), entry.key.length());
            text += '=';
            text.append(entry.value.c_str(), entry.value.length());
            text += "\r\n";
        }
    }
    return text;
}

bool SaveIniTable(IniTable& table) {
    if (!table.changed || table.file_name.empty() || IsMemoryFileName(table.file_name.c_str())) return true;
    const std::string text = IniTableText(table);
    if (!ReplaceFileContents(table.file_name.c_str(), text.data(), text.size())) return false;
    table.changed = 0;
    return true;
}

IniTable& TheIniTable() {
    if (g_ini_table == nullptr) {
        g_ini_table = new IniTable();
        EnsureStorageExitHandler();
    }
    return *g_ini_table;
}

void IniOpen(const BasicString& name) {
    IniTable& table = TheIniTable();
    SaveIniTable(table);
    LoadIniTable(table, name);
}

BasicString IniRead(const BasicString& section, const BasicString& key) {
    const BasicString* value = FindIniValue(TheIniTable(), section, key);
    return value != nullptr ? *value : BasicString(kNoData);
}

void IniWrite(const BasicString& section, const BasicString& key, const BasicString& value) {
    WriteIniValue(TheIniTable(), section, key, value);
}

void FinishIniTable(bool release) {
    if (g_ini_table == nullptr) return;
    SaveIniTable(*g_ini_table);
    if (release) {
        delete g_ini_table;
        g_ini_table = nullptr;
    }
}
