// INI tables: the reading rules, lookups ignoring case, the write rules, the exact saved bytes, saving at the
// next open and at the end, a save that fails on the way, and files shared with Python's configparser.
#include "files/ini_files.h"

#include <dirent.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "files/memory_file.h"
#include "storage/storage_fixtures.h"

namespace {

class IniFiles : public StorageFolderTest {
protected:
    // The table read from text held in memory.
    static IniTable Parse(const std::string& text) {
        IniTable table;
        FileStream stream;
        const BasicString name = MemoryFileName(text.data(), static_cast<uint32_t>(text.size()));
        EXPECT_EQ(OpenStream(stream, name.c_str()), 1);
        ReadIniStream(table, stream);
        CloseStream(stream);
        return table;
    }

    static std::string Value(const IniTable& table, const char* section, const char* key) {
        const BasicString* value = FindIniValue(table, section, key);
        return value != nullptr ? Str(*value) : "(none)";
    }

    std::set<std::string> Entries() const {
        std::set<std::string> names;
        DIR* directory = opendir(path().c_str());
        while (const dirent* entry = readdir(directory)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.insert(name);
        }
        closedir(directory);
        return names;
    }
};

TEST_F(IniFiles, EmptySectionsVanishAndLookupsIgnoreCase) {
    const IniTable table = Parse("[A]\r\nx = 1\r\n; note\r\n[B]\r\n[C]\r\ny=2");
    EXPECT_EQ(IniTableText(table), "[A]\r\nx=1\r\n[C]\r\ny=2\r\n");
    EXPECT_EQ(Value(table, "a", "X"), "1");
    EXPECT_EQ(Value(table, "B", "y"), "(none)");
    EXPECT_EQ(Value(table, "C", "Y"), "2");
    EXPECT_EQ(table.changed, 0);
}

struct ParseCase {
    const char* what;
    std::string text;
    std::string saved;  // the table as it is saved, which shows every section, key and value
};

TEST_F(IniFiles, ReadingRules) {
    const ParseCase cases[] = {
        {"lines without '=' or without a value are ignored", "[S]\nkey=\nkey\nk x=1\nok=1\n", "[S]\r\nok=1\r\n"},
        {"the value keeps trailing blanks and loses control bytes", "[S]\nk =  v  \nc=w\x01\x1f\n",
         "[S]\r\nk=v  \r\nc=w\r\n"},
        {"blanks, tabs and line ends may stand around '='", " \t[S]\n\t k \t\r= \tv\n", "[S]\r\nk=v\r\n"},
        {"a second '=' belongs to the value", "[S]\nk==v\n", "[S]\r\nk==v\r\n"},
        {"section names end at a blank and lose a closing bracket", "[ Video ]\na=1\n[My Video]\nb=2\n[x]]\nc=3\n",
         "[Video]\r\na=1\r\n[My]\r\nb=2\r\n[x]]\r\nc=3\r\n"},
        {"entries before the first header go to a section without a name", "top=1\n[S]\nk=v\n",
         "[]\r\ntop=1\r\n[S]\r\nk=v\r\n"},
        {"equal sections and keys are all kept", "[S]\nk=1\nk=2\n[s]\nk=3\n", "[S]\r\nk=1\r\nk=2\r\n[s]\r\nk=3\r\n"},
        {"comments start with ';' only at the front", "; top\n[S]\n  ;k=1\nk=v ; not a comment\n",
         "[S]\r\nk=v ; not a comment\r\n"},
        {"a NUL byte ends a line's text", std::string("[S]\nk=ab\0cd\nj=1\n", 17), "[S]\r\nk=ab\r\nj=1\r\n"},
        {"CR LF and LF line ends, no final line end", "[S]\r\na=1\nb=2\r\nc=3", "[S]\r\na=1\r\nb=2\r\nc=3\r\n"},
    };
    for (const ParseCase& c : cases) EXPECT_EQ(IniTableText(Parse(c.text)), c.saved) << c.what;

    // Lookups find the first of equal names.
    const IniTable duplicates = Parse("[S]\nk=1\nK=2\n[s]\nk=3\n");
    EXPECT_EQ(Value(duplicates, "S", "k"), "1");
}

TEST_F(IniFiles, LinesLongerThanTheBufferComeInPieces) {
    const std::string long_value(1500, 'v');
    const IniTable table = Parse("[S]\nk=" + long_value + "\nj=1\n");
    // The first 1024 bytes are one line; the rest is a line without '=' and ignored.
    EXPECT_EQ(Value(table, "S", "k"), std::string(1022, 'v'));
    EXPECT_EQ(Value(table, "S", "j"), "1");
}

TEST_F(IniFiles, WritesChangeReplaceAndRemove) {
    IniTable table = Parse("[A]\nx=1\ny=2\nz=3\n[B]\nb=1\n[C]\nc=1\n");
    WriteIniValue(table, "a", "Y", "20");
    EXPECT_EQ(table.changed, 1);
    EXPECT_EQ(IniTableText(table), "[A]\r\nx=1\r\ny=20\r\nz=3\r\n[B]\r\nb=1\r\n[C]\r\nc=1\r\n");

    // Removing moves the last entry (or section) into the gap.
    WriteIniValue(table, "A", "x", "");
    EXPECT_EQ(IniTableText(table), "[A]\r\nz=3\r\ny=20\r\n[B]\r\nb=1\r\n[C]\r\nc=1\r\n");
    WriteIniValue(table, "a", "", "");
    EXPECT_EQ(IniTableText(table), "[C]\r\nc=1\r\n[B]\r\nb=1\r\n");

    // New sections and keys are appended, a new key even with an empty value.
    WriteIniValue(table, "D", "d", "4");
    WriteIniValue(table, "B", "e", "");
    EXPECT_EQ(IniTableText(table), "[C]\r\nc=1\r\n[B]\r\nb=1\r\ne=\r\n[D]\r\nd=4\r\n");

    // Removing what is not there changes nothing.
    IniTable untouched = Parse("[A]\nx=1\n");
    WriteIniValue(untouched, "missing", "", "");
    EXPECT_EQ(untouched.changed, 0);
}

TEST_F(IniFiles, SavingWritesExactlyTheTableAndOnlyWhenChanged) {
    WriteWholeFile(File("game.ini"), "[A]\r\nk=v\r\n");
    IniTable table;
    LoadIniTable(table, "GAME.INI");
    EXPECT_EQ(Str(table.file_name), "GAME.INI");
    WriteWholeFile(File("game.ini"), "changed behind the table's back");
    EXPECT_TRUE(SaveIniTable(table));
    EXPECT_EQ(ReadWholeFile(File("game.ini")), "changed behind the table's back");

    WriteIniValue(table, "A", "k", "v");
    EXPECT_TRUE(SaveIniTable(table));
    // The file found under another letter case is the one replaced; nothing else is left behind.
    EXPECT_EQ(ReadWholeFile(File("game.ini")), "[A]\r\nk=v\r\n");
    EXPECT_EQ(Entries(), std::set<std::string>{"game.ini"});
    EXPECT_EQ(table.changed, 0);

    // A table from memory is never written; a file found nowhere gives an unnamed table.
    const std::string bytes = "[A]\nk=v\n";
    IniTable in_memory;
    LoadIniTable(in_memory, MemoryFileName(bytes.data(), static_cast<uint32_t>(bytes.size())));
    WriteIniValue(in_memory, "A", "k", "w");
    EXPECT_TRUE(SaveIniTable(in_memory));
    OutputCapture output;
    IniTable missing;
    LoadIniTable(missing, "missing.ini");
    EXPECT_EQ(output.Finish(), "request: fopen(\"missing.ini\", \"rb\") failed\n");
    EXPECT_TRUE(missing.file_name.empty());
    WriteIniValue(missing, "A", "k", "v");
    EXPECT_TRUE(SaveIniTable(missing));
    EXPECT_EQ(Entries(), std::set<std::string>{"game.ini"});
}

TEST_F(IniFiles, ANameAsLongAsAllowedStillSaves) {
    const std::string name(255, 'n');
    WriteWholeFile(File(name), "[A]\r\nk=1\r\n");
    IniTable table;
    LoadIniTable(table, name.c_str());
    WriteIniValue(table, "A", "k", "2");
    EXPECT_TRUE(SaveIniTable(table));
    EXPECT_EQ(ReadWholeFile(File(name)), "[A]\r\nk=2\r\n");
    EXPECT_EQ(Entries(), std::set<std::string>{name});
}

TEST_F(IniFiles, AFailedSaveKeepsTheOldSettings) {
    for (WriteFault fault : kAllWriteFaults) {
        WriteWholeFile(File("settings.ini"), "[Video]\r\nmode=1\r\n");
        IniTable table;
        LoadIniTable(table, "settings.ini");
        WriteIniValue(table, "Video", "mode", "2");
        WriteIniValue(table, "Sound", "volume", std::string(20000, '9').c_str());
        InjectWriteFault(fault);
        OutputCapture output;
        EXPECT_FALSE(SaveIniTable(table)) << FaultName(fault);
        EXPECT_EQ(output.Finish(), "can't write to file: settings.ini\n") << FaultName(fault);
        ResetStorageFileCalls();
        EXPECT_EQ(ReadWholeFile(File("settings.ini")), "[Video]\r\nmode=1\r\n") << FaultName(fault);
        EXPECT_EQ(Entries(), std::set<std::string>{"settings.ini"}) << FaultName(fault);
        // Still changed, so a later save can succeed.
        EXPECT_TRUE(SaveIniTable(table)) << FaultName(fault);
        EXPECT_EQ(Value(table, "video", "MODE"), "2");
    }
}

TEST_F(IniFiles, TheCommandsSaveAtTheNextOpenAndAtExit) {
    WriteWholeFile(File("one.ini"), "[A]\r\nk=1\r\n");
    WriteWholeFile(File("two.ini"), "[B]\r\nk=2\r\n");
    const ProcessResult result = RunInChild([] {
        IniOpen("one.ini");
        printf("%s %s\n", IniRead("a", "K").c_str(), IniRead("a", "missing").c_str());
        IniWrite("A", "k", "10");
        IniOpen("two.ini");
        printf("%s %s\n", IniRead("A", "k").c_str(), IniRead("B", "k").c_str());
        IniWrite("B", "new", "yes");
    });
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_EQ(result.output, "1 NO_DATA\nNO_DATA 2\n");
    EXPECT_EQ(ReadWholeFile(File("one.ini")), "[A]\r\nk=10\r\n");
    EXPECT_EQ(ReadWholeFile(File("two.ini")), "[B]\r\nk=2\r\nnew=yes\r\n");
}

// Files written by configparser, then changed the ways people change them by hand.
TEST_F(IniFiles, ReadsWhatConfigparserWrites) {
    const std::string script =
        "import configparser\n"
        "c = configparser.ConfigParser(interpolation=None)\n"
        "c.optionxform = str\n"
        "c['Video'] = {'Width': '320', 'title': 'My Game  x'}\n"
        "c['Sound'] = {'volume': '0.5', 'path': 'C:\\\\music;old'}\n"
        "with open('written.ini', 'w', newline='\\r\\n') as f:\n"
        "    f.write('; made by configparser\\n')\n"
        "    c.write(f)\n"
        "with open('written.ini', newline='') as f:\n"
        "    text = f.read()\n"
        "with open('edited.ini', 'w', newline='') as f:\n"
        "    f.write('loose = 1\\n' + text.replace('\\r\\n', '\\n'))\n";
    const ProcessResult python = RunProgram({"/usr/bin/env", "python3", "-c", script}, {}, path());
    ASSERT_EQ(python.exit_status, 0) << python.errors;

    for (const char* name : {"written.ini", "edited.ini"}) {
        IniTable table;
        LoadIniTable(table, name);
        EXPECT_EQ(Value(table, "video", "width"), "320") << name;
        EXPECT_EQ(Value(table, "Video", "Title"), "My Game  x") << name;
        EXPECT_EQ(Value(table, "SOUND", "volume"), "0.5") << name;
        EXPECT_EQ(Value(table, "Sound", "path"), "C:\\music;old") << name;
    }
    IniTable edited;
    LoadIniTable(edited, "edited.ini");
    EXPECT_EQ(Value(edited, "", "loose"), "1");
}

TEST_F(IniFiles, ConfigparserReadsWhatWeSave) {
    WriteWholeFile(File("saved.ini"), "");
    IniTable table;
    LoadIniTable(table, "saved.ini");
    WriteIniValue(table, "Player", "Name", "Ann Lee");
    WriteIniValue(table, "Player", "score", "1200");
    WriteIniValue(table, "Keys", "jump", "B");
    WriteIniValue(table, "Keys", "path", "a/b c.dat");
    ASSERT_TRUE(SaveIniTable(table));

    const std::string script =
        "import configparser\n"
        "c = configparser.ConfigParser(interpolation=None)\n"
        "c.optionxform = str\n"
        "c.read('saved.ini')\n"
        "for s in c.sections():\n"
        "    for k, v in c[s].items():\n"
        "        print(s + '|' + k + '|' + v)\n";
    const ProcessResult python = RunProgram({"/usr/bin/env", "python3", "-c", script}, {}, path());
    ASSERT_EQ(python.exit_status, 0) << python.errors;
    EXPECT_EQ(python.output, "Player|Name|Ann Lee\nPlayer|score|1200\nKeys|jump|B\nKeys|path|a/b c.dat\n");
}

}  // namespace
