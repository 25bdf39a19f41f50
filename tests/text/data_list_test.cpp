// The inline data list: reading numbers and texts in either form, restarting, and reading past the end.
#include "text/data_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>

#include "values_runtime_error.h"

namespace {

TEST(DataList, ReadsItemsInOrderAsNumbersOrTexts) {
    static const DataItem items[] = {DataNumber(3.7f), DataNumber(-3.7f), DataText("2.5abc"), DataText("abc"),
                                     DataNumber(0.5f), DataNumber(1e10f), DataText("hi"),      DataText(" 42")};
    // Lists are static, as the ones a program carries are: the current list stays in use after the test.
    static DataList list = MakeDataList(items);
    EXPECT_EQ(list.count, 8);
    RestoreData(list);
    EXPECT_EQ(CurrentDataList(), &list);
    EXPECT_EQ(ReadDataNumber<int32_t>(), 3);
    EXPECT_EQ(ReadDataNumber<int32_t>(), -3);
    EXPECT_EQ(ReadDataNumber(), 2.5f);
    EXPECT_EQ(ReadDataNumber(), 0.0f);
    EXPECT_EQ(ReadDataText(), ".5");
    EXPECT_EQ(ReadDataText(), "1.000000000e+10");
    EXPECT_EQ(ReadDataText(), "hi");
    EXPECT_EQ(ReadDataNumber<int32_t>(), 42);
    EXPECT_EQ(list.next, 8);

    // Restoring starts again from the first item.
    RestoreData(list);
    EXPECT_EQ(ReadDataNumber(), 3.7f);
    EXPECT_EQ(ReadDataText(), "-3.700000048");
    EXPECT_EQ(list.next, 2);
}

TEST(DataList, IntegerReadsSaturateInsteadOfOverflowing) {
    static const DataItem items[] = {DataNumber(3e9f), DataNumber(-3e9f), DataText("nan"), DataNumber(-0.9f)};
    static DataList list = MakeDataList(items);
    RestoreData(list);
    EXPECT_EQ(ReadDataNumber<int32_t>(), INT_MAX);
    EXPECT_EQ(ReadDataNumber<int32_t>(), INT_MIN);
    EXPECT_EQ(ReadDataNumber<int32_t>(), 0);
    EXPECT_EQ(ReadDataNumber<int32_t>(), 0);
}

TEST(DataList, ReadingPastTheEndEndsWithError20) {
    // Two items read three times: the first two reads come back, the third ends the program.
    const ProcessResult result = RunExpectingEnd([] {
        static const DataItem items[] = {DataNumber(1), DataText("two")};
        static DataList list = MakeDataList(items);
        RestoreData(list);
        printf("<%g>", static_cast<double>(ReadDataNumber()));
        printf("<%s>", ReadDataText().c_str());
        fflush(stdout);
        ReadDataNumber();
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.output.find("<1><two>"), 0u) << result.output;
    EXPECT_NE(result.output.find(EndReportFor(kErrorDataExhausted)), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("body returned"), std::string::npos);

    // A list moved to a bad place, a list without items.
    EXPECT_RUNTIME_ERROR(kErrorDataExhausted, {
        static const DataItem items[] = {DataNumber(1)};
        static DataList list = MakeDataList(items);
        RestoreData(list);
        list.next = -1;
        ReadDataNumber<int32_t>();
    });
    EXPECT_RUNTIME_ERROR(kErrorDataExhausted, {
        static DataList list = {nullptr, 3, 0};
        RestoreData(list);
        ReadDataNumber();
    });
}

TEST(DataList, ReadingBeforeAnyRestoreEndsWithError20) {
    const ProcessResult result = RunProgram({TestProgramPath("values_data_probe")});
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_NE(result.output.find("-End On Line\n20."), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("read returned"), std::string::npos) << result.output;
}

}  // namespace
