// Text commands: number formatting, hexadecimal dumps, characters, console lines, number text lengths,
// searching, replacing and splitting.
#include "text/text_commands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "support/process_runner.h"

namespace {

std::string Text(const BasicString& value) { return std::string(value.c_str(), value.length()); }

TEST(FormatNumber, PrintsWithWidthAndDecimals) {
    struct Case {
        float width, decimals, value;
        const char* expected;
    };
    const Case cases[] = {
        {8, 2, 3.14159f, "    3.14"},
        {-8, 2, 3.14159f, "3.14    "},
        {0, 0, 2.5f, "2"},             // ties go to even
        {5, 1, -1.25f, " -1.2"},       // -1.25 is exact in single precision: the tie goes to even
        {0, 0, 3.5f, "4"},
        {8.9f, 2.9f, 1.0f, "    1.00"},  // width and decimals are truncated
        {0, -1, 1.5f, "1.500000"},     // negative decimals: as if none were given
        {0, 1, 0.1f, "0.1"},
        {0, 12, 0.1f, "0.100000001490"},
        {-3, 0, 12345.0f, "12345"},
    };
    for (const Case& c : cases) {
        const BasicString result = FormatNumber(c.width, c.decimals, c.value);
        EXPECT_EQ(Text(result), c.expected) << c.width << " " << c.decimals << " " << c.value;
        EXPECT_EQ(result.length(), strlen(c.expected));
    }
    EXPECT_EQ(FormatNumber(0, 2, std::numeric_limits<float>::quiet_NaN()), "nan");
    EXPECT_EQ(FormatNumber(5, 0, -std::numeric_limits<float>::infinity()), " -inf");
    EXPECT_EQ(FormatNumber(8, 2, 3.14159f).capacity(), 40u);
}

TEST(FormatNumber, MatchesPrintfCutTo39Characters) {
    // Long results are cut to their first 39 characters, whatever the width and decimals; printf into a large
    // buffer shows what those characters are.
    const int widths[] = {-1100, -200, -45, -39, -8, 0, 5, 39, 40, 45, 200, 1100};
    const int decimals[] = {-3, 0, 1, 7, 38, 100, 149, 150, 170, 1000};
    const float values[] = {0.0f, -0.0f, 1.0f, -1.25f, 3.14159f, 1e10f, -3.4e38f, 1.4e-45f, 123.456f};
    std::vector<char> buffer(4096);
    for (int width : widths)
        for (int precision : decimals)
            for (float value : values) {
                snprintf(buffer.data(), buffer.size(), "%*.*f", width, precision, static_cast<double>(value));
                const std::string expected = std::string(buffer.data()).substr(0, 39);
                const BasicString result =
                    FormatNumber(static_cast<float>(width), static_cast<float>(precision), value);
                ASSERT_EQ(Text(result), expected) << width << " " << precision << " " << value;
            }
}

TEST(FormatNumber, HugeWidthsAndDecimalsStayAt39Characters) {
    EXPECT_EQ(Text(FormatNumber(2e9f, 0, 1)), std::string(39, ' '));
    EXPECT_EQ(Text(FormatNumber(-3e9f, 0, 1)), "1" + std::string(38, ' '));
    EXPECT_EQ(Text(FormatNumber(0, 1e30f, 1)), "1." + std::string(37, '0'));
    EXPECT_EQ(Text(FormatNumber(std::numeric_limits<float>::quiet_NaN(), 0, 7)), "7");
}

TEST(HexText, TwoUpperCaseDigitsPerByte) {
    const unsigned char bytes[] = {0x00, 0xAB, 0xFF, 0x1F};
    EXPECT_EQ(HexText(bytes, 3), "00ABFF");
    EXPECT_EQ(HexText(bytes, 4), "00ABFF1F");
    EXPECT_EQ(HexText(bytes, 1), "00");
    EXPECT_EQ(HexText(BasicString("AZ"), 2), "415A");
}

TEST(HexText, BadCountsGiveEmptyTextsAndReadNothingBeyond) {
    const unsigned char bytes[] = {0x12, 0x34};
    for (int32_t count : {0, -1, INT32_MIN, INT32_MAX, 0x40000000}) {
        const BasicString result = HexText(bytes, count);
        EXPECT_TRUE(result.empty()) << count;
        EXPECT_TRUE(result.UsesSharedEmpty()) << count;
    }
    EXPECT_TRUE(HexText(nullptr, 4).empty());
    // Over a text, the count stops at the text's end.
    EXPECT_EQ(HexText(BasicString("hi"), 1000), "6869");
    EXPECT_TRUE(HexText(BasicString(), 5).empty());
}

TEST(CharText, HoldsTheLowByteOfTheCode) {
    struct Case {
        int32_t code;
        unsigned char byte;
    };
    const Case cases[] = {{65, 'A'}, {321, 'A'}, {-191, 'A'}, {255, 0xFF}, {0, 0}, {256, 0}};
    for (const Case& c : cases) {
        const BasicString text = CharText(c.code);
        EXPECT_EQ(text.length(), 1u) << c.code;
        EXPECT_EQ(static_cast<unsigned char>(text.c_str()[0]), c.byte) << c.code;
        EXPECT_EQ(text.c_str()[1], 0) << c.code;
    }
}

// A stream over the given bytes (NUL bytes included).
FILE* StreamOf(const std::string& bytes) {
    FILE* stream = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), stream);
    rewind(stream);
    return stream;
}

TEST(ReadConsoleLine, ReadsLinesWithoutTheirLineEnd) {
    static const char kBytes[] = "first\nsecond\r\n\nab\0cd\nlast";
    FILE* stream = StreamOf(std::string(kBytes, sizeof(kBytes) - 1));
    const char* expected[] = {"first", "second\r", "", "ab", "last", "", ""};
    for (const char* line : expected) EXPECT_EQ(Text(ReadConsoleLineFrom(stream)), line);
    fclose(stream);
}

TEST(ReadConsoleLine, TakesAtMost4094BytesPerCall) {
    FILE* stream = StreamOf(std::string(5000, 'x') + "\nnext\n");
    const BasicString first = ReadConsoleLineFrom(stream);
    EXPECT_EQ(first.length(), 4094u);
    EXPECT_EQ(ReadConsoleLineFrom(stream).length(), 906u);
    EXPECT_EQ(ReadConsoleLineFrom(stream), "next");
    EXPECT_TRUE(ReadConsoleLineFrom(stream).empty());
    fclose(stream);
    EXPECT_TRUE(ReadConsoleLineFrom(nullptr).empty());
}

TEST(ReadConsoleLine, ReadsStandardInput) {
    TemporaryDirectory directory;
    WriteWholeFile(directory.File("input"), "typed line\nmore");
    const std::string path = directory.File("input");
    const ProcessResult result = RunInChild([&] {
        if (freopen(path.c_str(), "r", stdin) == nullptr) return;
        for (int i = 0; i < 3; ++i) printf("[%s]", ReadConsoleLine().c_str());
    });
    EXPECT_EQ(result.output, "[typed line][more][]");
}

TEST(NumberTextLength, CountsTheNumberTexts) {
    struct FloatCase {
        float value;
        int32_t length;
    };
    // ".5", "1", ".0", "-2.25", "1.000000000e+10", ".3333333433", "123456792"
    const FloatCase floats[] = {{0.5f, 2},        {1.0f, 1},          {0.0f, 2},        {-2.25f, 5},
                                {1e10f, 15},      {1.0f / 3.0f, 11},  {123456789.0f, 9}};
    for (const FloatCase& c : floats) EXPECT_EQ(NumberTextLength(c.value), c.length) << c.value;
    struct IntCase {
        int32_t value;
        int32_t length;
    };
    const IntCase integers[] = {{-17, 3}, {0, 1}, {7, 1}, {INT32_MIN, 11}, {INT32_MAX, 10}};
    for (const IntCase& c : integers) EXPECT_EQ(NumberTextLength(c.value), c.length) << c.value;
}

struct FindCase {
    const char* text;
    const char* needle;
    int32_t start;
    int32_t expected;
};

const FindCase kFindCases[] = {
    {"hello", "l", 0, 2},   {"hello", "l", 3, 3},     {"hello", "l", 4, -1},    {"hello", "x", 0, -1},
    {"hello", "l", 9, -1},  {"hello", "l", -1, -1},   {"hello", "", 0, 0},      {"hello", "", 5, 5},
    {"hello", "", 6, -1},   {"hello", "", -2, -1},    {"", "", 0, 0},           {"", "a", 0, -1},
    {"abcabc", "bc", 2, 4}, {"hello", "hello", 0, 0}, {"hello", "hellox", 0, -1}, {"aaa", "aa", 1, 1},
};

TEST(Find, EveryPairingOfTextKinds) {
    for (const FindCase& c : kFindCases) {
        const BasicString text(c.text), needle(c.needle);
        SCOPED_TRACE(std::string(c.text) + " / " + c.needle + " from " + std::to_string(c.start));
        EXPECT_EQ(Find(text, needle, c.start), c.expected);
        EXPECT_EQ(Find(text, c.needle, c.start), c.expected);
        EXPECT_EQ(Find(c.text, needle, c.start), c.expected);
        EXPECT_EQ(Find(c.text, c.needle, c.start), c.expected);
    }
    EXPECT_EQ(Find(static_cast<const char*>(nullptr), "", 0), 0);
    EXPECT_EQ(Find("abc", static_cast<const char*>(nullptr), 1), 1);
}

TEST(ReplaceText, ReplacesLeftToRightWithoutSearchingReplacements) {
    struct Case {
        const char* text;
        const char* search;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"a-b-c", "-", "+", "a+b+c"},   {"aXXbXX", "XX", "", "ab"},     {"aa", "a", "aa", "aaaa"},
        {"abab", "ab", "ba", "baba"},   {"aaa", "a", "", ""},           {"abc", "", "x", "abc"},
        {"xyz", "q", "r", "xyz"},       {"aaaa", "aa", "a", "aa"},      {"aaa", "aa", "b", "ba"},
        {"a.b.c", ".", "..", "a..b..c"}, {"", "a", "b", ""},            {"abc", "abc", "", ""},
        {"abcabc", "bc", "BC", "aBCaBC"}, {"start end", "start", "S", "S end"},
    };
    for (const Case& c : cases) {
        const BasicString result = ReplaceText(c.text, c.search, c.replacement);
        EXPECT_EQ(Text(result), c.expected) << c.text << " / " << c.search << " / " << c.replacement;
        EXPECT_EQ(result.length(), strlen(c.expected));
    }
}

TEST(SplitText, FieldsBetweenRunsOfDelimiters) {
    struct Case {
        const char* text;
        const char* delimiters;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {"a,b,,c", ",", {"a", "b", "c"}},  {" x  y ", " ", {"x", "y"}},   {"a;b c", "; ", {"a", "b", "c"}},
        {"", ",", {}},                      {",,,", ",", {}},               {"abc", "", {"abc"}},
        {"a b", ",", {"a b"}},              {",lead", ",", {"lead"}},       {"trail;", ";", {"trail"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " at '" + c.delimiters + "'");
        StrArray fields;
        fields.DimArray(3, 3);  // whatever was there goes
        fields(2, 2) = "old";
        const int32_t count = SplitText(c.text, c.delimiters, fields);
        ASSERT_EQ(count, static_cast<int32_t>(c.fields.size()));
        EXPECT_EQ(fields.dim0, count);
        EXPECT_EQ(fields.dim1, 0);
        EXPECT_EQ(fields.rank, count == 0 ? 0 : 1);
        for (int32_t i = 0; i < count; ++i) EXPECT_EQ(Text(fields(i)), c.fields[static_cast<size_t>(i)]);
        for (int32_t i = count; i < fields.capacity; ++i) EXPECT_TRUE(fields.elements[i].empty()) << i;
    }
}

TEST(SplitText, SplittingAnElementOfTheTargetArray) {
    StrArray fields;
    fields.FillArray({"x:y:z", ":"});
    EXPECT_EQ(SplitText(fields(0), fields(1), fields), 3);
    EXPECT_EQ(fields(0), "x");
    EXPECT_EQ(fields(1), "y");
    EXPECT_EQ(fields(2), "z");
}

}  // namespace
