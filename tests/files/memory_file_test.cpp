// Memory file names: their exact text and reading them back.
#include <gtest/gtest.h>

#include "files/memory_file.h"

namespace {

TEST(MemoryFileTest, NameIsPrintedWithEightColumnHexNumbers) {
    EXPECT_STREQ(MemoryFileName(reinterpret_cast<const void*>(uintptr_t{0xabcdef}), 0x1234).c_str(),
                 "mem://    1234.  abcdef");
    EXPECT_STREQ(MemoryFileName(reinterpret_cast<const void*>(uintptr_t{0x12345678}), 0xffffffffu).c_str(),
                 "mem://ffffffff.12345678");
    EXPECT_STREQ(MemoryFileName(reinterpret_cast<const void*>(uintptr_t{0x10}), 0).c_str(),
                 "mem://       0.      10");
}

TEST(MemoryFileTest, NamesReadBackToSizeAndAddress) {
    const uint8_t bytes[5] = {1, 2, 3, 4, 5};
    const BasicString name = MemoryFileName(bytes, sizeof(bytes));
    MemoryFile file;
    ASSERT_TRUE(ParseMemoryFileName(name.c_str(), file));
    EXPECT_EQ(file.data, bytes);
    EXPECT_EQ(file.size, 5);

    ASSERT_TRUE(ParseMemoryFileName("mem://      2a.    beef", file));
    EXPECT_EQ(file.size, 42);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(file.data), uintptr_t{0xbeef});
}

TEST(MemoryFileTest, OtherNamesAreNotMemoryFiles) {
    MemoryFile file;
    EXPECT_FALSE(IsMemoryFileName("pic.png"));
    EXPECT_FALSE(IsMemoryFileName("MEM://       1.       1"));
    EXPECT_TRUE(IsMemoryFileName("mem://"));
    EXPECT_FALSE(ParseMemoryFileName("pic.png", file));
    EXPECT_FALSE(ParseMemoryFileName("mem://   1.", file));  // too short to hold an address
    EXPECT_FALSE(ParseMemoryFileName("mem://80000000.       1", file));  // size beyond a signed count
}

}  // namespace
