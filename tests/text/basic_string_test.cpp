// BasicString: capacities, lengths, number texts, comparisons and substrings.
#include "text/basic_string.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(BasicStringStorage, EmptyValuesShareTheStaticTextAndOwnNothing) {
    BasicString fresh;
    BasicString from_empty("");
    BasicString from_null(static_cast<const char*>(nullptr));
    BasicString copy_of_empty(fresh);
    for (const BasicString* value : {&fresh, &from_empty, &from_null, &copy_of_empty}) {
        EXPECT_EQ(value->capacity(), 0u);
        EXPECT_EQ(value->length(), 0u);
        EXPECT_TRUE(value->UsesSharedEmpty());
        EXPECT_STREQ(value->c_str(), "");
    }
    EXPECT_EQ(fresh.c_str(), from_empty.c_str());
    fresh.Clear();
    EXPECT_TRUE(fresh.UsesSharedEmpty());
    // Empty additions allocate nothing.
    fresh.Append("");
    fresh.Append(BasicString());
    EXPECT_TRUE(fresh.UsesSharedEmpty());
}

TEST(BasicStringStorage, ReserveRoundsToMultiplesOfFourWithoutGeometricGrowth) {
    struct Case {
        uint32_t first, second, capacity_after_second;
    };
    const Case cases[] = {{5, 0, 8}, {7, 0, 12}, {5, 3, 8}, {5, 7, 8}, {5, 8, 12}, {0, 0, 0}, {1, 0, 4}, {3, 0, 8}, {6, 6, 8}};
    for (const Case& c : cases) {
        BasicString value;
        value.Reserve(c.first);
        value.Reserve(c.second);
        EXPECT_EQ(value.capacity(), c.capacity_after_second) << c.first << " then " << c.second;
        EXPECT_EQ(value.length(), 0u);
    }
    BasicString grown;
    for (int i = 0; i < 9; ++i) grown.Append("x");
    EXPECT_EQ(grown.capacity(), 12u);  // 9 + 1 rounded down to 8, plus 4
    EXPECT_EQ(grown.length(), 9u);
}

TEST(BasicStringStorage, ReserveKeepsOrDropsContent) {
    BasicString kept("abc");
    kept.Reserve(40, true);
    EXPECT_STREQ(kept.c_str(), "abc");
    EXPECT_EQ(kept.length(), 3u);
    BasicString dropped("abc");
    dropped.Reserve(40, false);
    EXPECT_EQ(dropped.c_str()[0], 0);
    dropped.UpdateLength();
    EXPECT_EQ(dropped.length(), 0u);
}

TEST(BasicStringStorage, AppendingToEmptyAllocatesEightBytes) {
    BasicString value("");
    value.Append("abc");
    EXPECT_EQ(value.capacity(), 8u);
    EXPECT_EQ(value.length(), 3u);
    EXPECT_STREQ(value.c_str(), "abc");
}

TEST(BasicStringStorage, AppendingItselfCopiesTheOldText) {
    BasicString value("abcd");
    value.Append(value);
    EXPECT_STREQ(value.c_str(), "abcdabcd");
    value.Append(value.c_str() + 6);
    EXPECT_STREQ(value.c_str(), "abcdabcdcd");
}

TEST(BasicStringStorage, UpdateLengthKeepsABrimFullBufferTerminated) {
    BasicString value;
    value.Reserve(5);
    ASSERT_EQ(value.capacity(), 8u);
    memset(value.data(), 'z', 8);
    value.UpdateLength();
    EXPECT_EQ(value.length(), 7u);
    EXPECT_EQ(value.data()[7], 0);
    memcpy(value.data(), "hi", 3);
    value.UpdateLength();
    EXPECT_EQ(value.length(), 2u);
}

TEST(BasicStringStorage, SetLengthOnlyInsideTheCapacity) {
    BasicString value("abcdef");
    const uint32_t capacity = value.capacity();
    value.SetLength(static_cast<int32_t>(capacity));
    EXPECT_STREQ(value.c_str(), "abcdef");
    value.SetLength(-1);
    EXPECT_STREQ(value.c_str(), "abcdef");
    value.SetLength(2);
    EXPECT_STREQ(value.c_str(), "ab");
    EXPECT_EQ(value.length(), 2u);
    BasicString empty;
    empty.SetLength(0);  // capacity 0: nothing, the shared text is never written
    EXPECT_TRUE(empty.UsesSharedEmpty());
}

TEST(BasicStringStorage, AssignmentFormsAndSwap) {
    BasicString direct("old text that is long");
    direct.Assign("abcde");
    EXPECT_EQ(direct.capacity(), 6u);  // exactly strlen + 1
    EXPECT_STREQ(direct.c_str(), "abcde");
    direct.Assign(direct.c_str() + 1);
    EXPECT_STREQ(direct.c_str(), "bcde");
    direct.Assign("");
    EXPECT_TRUE(direct.UsesSharedEmpty());

    BasicString through_temporary;
    through_temporary = "abcde";
    EXPECT_EQ(through_temporary.capacity(), 8u);
    through_temporary = 42;
    EXPECT_STREQ(through_temporary.c_str(), "42");
    through_temporary = 2.5;
    EXPECT_STREQ(through_temporary.c_str(), "2.5");
    through_temporary = through_temporary;
    EXPECT_STREQ(through_temporary.c_str(), "2.5");

    BasicString left("left"), right("right side");
    left.Swap(right);
    EXPECT_STREQ(left.c_str(), "right side");
    EXPECT_STREQ(right.c_str(), "left");
}

TEST(BasicStringNumbers, ConstructionFromNumbers) {
    EXPECT_STREQ(BasicString(-17).c_str(), "-17");
    EXPECT_EQ(BasicString(-17).capacity(), 20u);  // Reserve(15)
    EXPECT_STREQ(BasicString(0.0).c_str(), ".0");
    EXPECT_STREQ(BasicString(2.50).c_str(), "2.5");
    EXPECT_EQ(BasicString(2.50).capacity(), 68u);  // Reserve(63)
    EXPECT_STREQ(BasicString(123456789.0f).c_str(), "123456792");
    EXPECT_STREQ(BasicString(0.1f).c_str(), ".1000000015");
}

TEST(BasicStringNumbers, NumberToTextExamples) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {1, "1"},
        {10, "10"},
        {1.5, "1.5"},
        {-2.25, "-2.25"},
        {0.5, ".5"},
        {-0.5, "-.5"},
        {0, ".0"},
        {-0.0, "-.0"},
        {100000, "100000"},
        {1.0 / 3.0, ".3333333333"},
        {1e10, "1.000000000e+10"},
        {static_cast<double>(0.1f), ".1000000015"},
        {static_cast<double>(123456789.0f), "123456792"},
        {-1e-20, "-1.000000000e-20"},
    };
    for (const Case& c : cases) {
        char buffer[kNumberTextBufferSize];
        EXPECT_STREQ(NumberToText(c.value, 10, buffer), c.text) << c.value;
    }
    char buffer[kNumberTextBufferSize];
    EXPECT_STREQ(NumberToText(1e10, 1, buffer), "1e+10");  // the point before 'e' goes
    EXPECT_STREQ(NumberToText(-1.7976931348623157e308, 10, buffer), "-1.797693135e+308");
}

TEST(BasicStringNumbers, TextToNumbers) {
    struct Case {
        const char* text;
        int32_t integer;
        float single;
    };
    const Case cases[] = {
        {"3.7", 3, 3.7f},       {"  -12abc", -12, -12.0f}, {"abc", 0, 0.0f},
        {"", 0, 0.0f},          {"1e3", 1, 1000.0f},       {"99999999999", 2147483647, 99999999999.0f},
        {"-99999999999", -2147483647 - 1, -99999999999.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BasicString(c.text).ToInt(), c.integer) << c.text;
        EXPECT_EQ(BasicString(c.text).ToFloat(), c.single) << c.text;
    }
}

TEST(BasicStringText, CaseCopiesAndTrim) {
    const BasicString mixed("Hello, World! \xC4z");
    EXPECT_STREQ(ToUpperCopy(mixed).c_str(), "HELLO, WORLD! \xC4Z");
    EXPECT_STREQ(ToLowerCopy(mixed).c_str(), "hello, world! \xC4z");
    EXPECT_STREQ(mixed.c_str(), "Hello, World! \xC4z");
    BasicString in_place("MiXeD");
    in_place.MakeLower();
    EXPECT_STREQ(in_place.c_str(), "mixed");
    in_place.MakeUpper();
    EXPECT_STREQ(in_place.c_str(), "MIXED");

    struct Case {
        const char* text;
        const char* trimmed;
    };
    const Case cases[] = {{"ab\r\n", "ab"}, {"\r\n\t\x1f", ""}, {"a b ", "a b "}, {"x\x80", "x\x80"}, {"", ""}};
    for (const Case& c : cases) {
        BasicString value(c.text);
        value.TrimControlTail();
        EXPECT_STREQ(value.c_str(), c.trimmed);
        EXPECT_EQ(value.length(), strlen(c.trimmed));
    }
}

TEST(BasicStringText, Substring) {
    struct Case {
        int32_t start, count;
        const char* result;
    };
    const Case cases[] = {{1, 3, "ell"}, {3, -1, "lo"}, {3, 10, "lo"},         {5, 1, ""}, {-1, 2, ""},
                          {0, 0, ""},    {0, 5, "hello"}, {2, 2147483647, "llo"}, {4, 1, "o"}};
    const BasicString hello("hello");
    for (const Case& c : cases)
        EXPECT_STREQ(Substring(hello, c.start, c.count).c_str(), c.result) << c.start << "," << c.count;
    EXPECT_TRUE(Substring(hello, 9, 1).UsesSharedEmpty());
}

TEST(BasicStringText, Concatenation) {
    const BasicString text("x=");
    EXPECT_STREQ((text + 3).c_str(), "x=3");
    EXPECT_STREQ((text + 0.5).c_str(), "x=.5");
    EXPECT_STREQ((text + 1.5f).c_str(), "x=1.5");
    EXPECT_STREQ((2 + text).c_str(), "2x=");
    EXPECT_STREQ((0.25 + text).c_str(), ".25x=");
    EXPECT_STREQ(("a" + text + "b").c_str(), "ax=b");
    EXPECT_STREQ((text + text).c_str(), "x=x=");
    BasicString grown("n");
    grown += 7;
    grown += "!";
    grown += -1.0f;
    EXPECT_STREQ(grown.c_str(), "n7!-1");
}

TEST(BasicStringCompare, TextWithText) {
    const BasicString abc("abc"), abd("abd"), ab("ab");
    EXPECT_FALSE(abc == abd);
    EXPECT_TRUE(abc < abd);
    EXPECT_TRUE(abc <= abd);
    EXPECT_TRUE(abd > abc);
    EXPECT_TRUE(abd >= abc);
    EXPECT_TRUE(abc != abd);
    EXPECT_FALSE(ab == abc);
    EXPECT_TRUE(ab < abc);
    EXPECT_TRUE(abc == "abc");
    EXPECT_TRUE("abc" == abc);
    EXPECT_TRUE("abd" > abc);
    EXPECT_TRUE(abc >= "abc");
    EXPECT_TRUE(abc <= "abc");
    EXPECT_FALSE("abc" != abc);
    // Bytes compare unsigned: 0xE9 sorts after 'z'.
    EXPECT_TRUE(BasicString("\xE9") > BasicString("z"));
    EXPECT_TRUE(BasicString("\xE9") > "z");
}

TEST(BasicStringCompare, TextWithNumbers) {
    const BasicString three_seven("3.7");
    EXPECT_TRUE(three_seven == 3);
    EXPECT_TRUE(3 == three_seven);
    EXPECT_TRUE(three_seven == 3.7f);
    EXPECT_TRUE(three_seven != 3.7);  // the text carries single precision only
    EXPECT_TRUE(three_seven == static_cast<double>(3.7f));
    EXPECT_TRUE(BasicString("abc") == 0);
    EXPECT_TRUE(BasicString("10") > 9);
    EXPECT_TRUE(9 < BasicString("10"));
    EXPECT_TRUE(BasicString("2.5") >= 2.5f);
    EXPECT_TRUE(BasicString("2.5") <= 2.5);
    EXPECT_TRUE(BasicString("-1") < 0.0f);
    EXPECT_EQ(CompareWithNumber(BasicString("5"), 7), -1);
    EXPECT_EQ(CompareWithNumber(BasicString("7"), 7), 0);
    EXPECT_EQ(CompareWithNumber(BasicString("8.9"), 8), 0);  // read as the integer 8
    EXPECT_EQ(CompareWithNumber(BasicString("8.9"), 8.0f), 1);
    EXPECT_EQ(CompareWithNumber(BasicString("x"), -0.5f), 1);
}

}  // namespace
