// Arrays: capacities and ranks, element order, bounds, redimensioning, copies, appends and their runtime
// errors.
#include "text/arrays.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "values_runtime_error.h"

namespace {

struct ShapeCase {
    std::vector<int32_t> dims;
    int32_t capacity;
    int32_t rank;
    int32_t dim0;
    int32_t stride1, stride2, stride3;
};

void Dim(IntArray& array, const std::vector<int32_t>& d) {
    array.DimArray(d.size() > 0 ? d[0] : 0, d.size() > 1 ? d[1] : 0, d.size() > 2 ? d[2] : 0, d.size() > 3 ? d[3] : 0);
}

std::string Describe(const std::vector<int32_t>& dims) {
    std::string text;
    for (int32_t d : dims) text += std::to_string(d) + " ";
    return text;
}

TEST(NumArrayShape, DimensioningSetsCapacityRankAndStrides) {
    // Strides of absent dimensions count them as 1, so (3, 0, 4) puts its third index 3 elements apart.
    const ShapeCase cases[] = {
        {{5}, 8, 1, 5, 5, 5, 5},          {{7}, 8, 1, 7, 7, 7, 7},         {{8}, 16, 1, 8, 8, 8, 8},
        {{15}, 16, 1, 15, 15, 15, 15},    {{16}, 24, 1, 16, 16, 16, 16},   {{0}, 8, 0, 0, 0, 0, 0},
        {{-3}, 8, 0, 0, 0, 0, 0},         {{3, 4}, 16, 2, 3, 3, 12, 12},   {{2, 3, 4}, 32, 3, 2, 2, 6, 24},
        {{2, 2, 2, 2}, 24, 4, 2, 2, 4, 8}, {{0, 5}, 8, 2, 0, 0, 0, 0},     {{3, 0, 4}, 16, 3, 3, 3, 3, 12},
        {{100, 3}, 304, 2, 100, 100, 300, 300},
    };
    for (const ShapeCase& c : cases) {
        IntArray array;
        Dim(array, c.dims);
        SCOPED_TRACE(Describe(c.dims));
        EXPECT_EQ(array.capacity, c.capacity);
        EXPECT_EQ(array.rank, c.rank);
        EXPECT_EQ(array.dim0, c.dim0);
        EXPECT_EQ(array.stride1, c.stride1);
        EXPECT_EQ(array.stride2, c.stride2);
        EXPECT_EQ(array.stride3, c.stride3);
        EXPECT_EQ(array.elements == array.inline_elements, c.capacity <= 16);
        for (int32_t i = 0; i < array.capacity; ++i) ASSERT_EQ(array.elements[i], 0) << i;
    }
}

TEST(NumArrayShape, FittingDimensioningReusesTheBlockAndClearsIt) {
    FloatArray array;
    array.DimArray(100);
    float* block = array.elements;
    for (int32_t i = 0; i < 100; ++i) array(i) = static_cast<float>(i + 1);
    array.DimArray(10, 3);  // 30 elements fit the 104 there are
    EXPECT_EQ(array.elements, block);
    EXPECT_EQ(array.capacity, 104);
    for (int32_t i = 0; i < array.capacity; ++i) ASSERT_EQ(array.elements[i], 0.0f) << i;

    // A small array moves back into the inline block; a heap block too small is replaced.
    array.DimArray(0);
    EXPECT_EQ(array.elements, array.inline_elements);
    EXPECT_EQ(array.capacity, 8);
    array.DimArray(5);
    array.DimArray(12);
    EXPECT_EQ(array.elements, array.inline_elements);
    EXPECT_EQ(array.capacity, 16);
}

TEST(StrArrayShape, CapacitiesStepBy64AndDimensioningEmptiesTexts) {
    const ShapeCase cases[] = {
        {{5}, 64, 1, 5, 5, 5, 5},       {{63}, 64, 1, 63, 63, 63, 63},    {{64}, 128, 1, 64, 64, 64, 64},
        {{0}, 64, 0, 0, 0, 0, 0},       {{10, 10}, 128, 2, 10, 10, 100, 100},
    };
    for (const ShapeCase& c : cases) {
        StrArray array;
        array.DimArray(c.dims[0], c.dims.size() > 1 ? c.dims[1] : 0);
        SCOPED_TRACE(Describe(c.dims));
        EXPECT_EQ(array.capacity, c.capacity);
        EXPECT_EQ(array.rank, c.rank);
        EXPECT_EQ(array.dim0, c.dim0);
        EXPECT_EQ(array.stride2, c.stride2);
    }
    StrArray texts;
    texts.DimArray(10);
    for (int32_t i = 0; i < 10; ++i) texts(i) = BasicString(i);
    BasicString* block = texts.elements;
    texts.DimArray(20);
    EXPECT_EQ(texts.elements, block);
    for (int32_t i = 0; i < texts.capacity; ++i) ASSERT_TRUE(texts.elements[i].UsesSharedEmpty()) << i;
}

TEST(ArrayElements, FirstIndexVariesFastestAndNegativeFirstIndexCountsFromTheEnd) {
    IntArray grid;
    grid.DimArray(3, 4);
    for (int32_t j = 0; j < 4; ++j)
        for (int32_t i = 0; i < 3; ++i) grid(i, j) = 10 * j + i;
    EXPECT_EQ(&grid(2, 3), &grid.elements[11]);
    EXPECT_EQ(grid.elements[11], 32);
    EXPECT_EQ(&grid(-1, 0), &grid(2, 0));
    EXPECT_EQ(&grid(-3, 2), &grid(0, 2));

    FloatArray cube;
    cube.DimArray(2, 3, 4, 5);
    struct Place {
        int32_t i, j, k, l, index;
    };
    const Place places[] = {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 1}, {0, 1, 0, 0, 2}, {0, 0, 1, 0, 6},
                            {0, 0, 0, 1, 24}, {1, 2, 3, 4, 119}, {-1, 2, 3, 4, 119}};
    for (const Place& p : places) EXPECT_EQ(&cube(p.i, p.j, p.k, p.l), &cube.elements[p.index]) << p.index;

    const IntArray& constant = grid;
    EXPECT_EQ(constant.ArrayElement(1, 1), 11);
}

struct BadIndex {
    std::vector<int32_t> dims;
    int32_t i, j, k, l;
};

TEST(ArrayElements, IndexOutsideTheDimensionsEndsWithError9) {
    // Besides the plain cases: an index into an absent dimension other than 0 would reach past the elements
    // (for (3, 4), (0, 0, 1) would be element 12 of 12), so it is outside too.
    const BadIndex cases[] = {
        {{3, 4}, 3, 0, 0, 0},  {{3, 4}, 0, 4, 0, 0}, {{3, 4}, -4, 0, 0, 0}, {{3, 4}, 0, -1, 0, 0},
        {{3, 4}, 0, 0, 1, 0},  {{3, 4}, 0, 0, 0, 1}, {{0}, 0, 0, 0, 0},     {{}, 0, 0, 0, 0},
        {{5}, 5, 0, 0, 0},     {{5}, INT_MIN, 0, 0, 0}, {{3, -2}, 0, 0, 0, 0}, {{2, 2, 2, 2}, 0, 0, 0, 2},
    };
    for (const BadIndex& c : cases) {
        SCOPED_TRACE(Describe(c.dims) + "at " + std::to_string(c.i) + "," + std::to_string(c.j) + "," +
                     std::to_string(c.k) + "," + std::to_string(c.l));
        EXPECT_RUNTIME_ERROR(kErrorArrayIndex, {
            IntArray array;
            if (!c.dims.empty()) Dim(array, c.dims);
            array(c.i, c.j, c.k, c.l) = 1;
        });
    }
    EXPECT_RUNTIME_ERROR(kErrorArrayIndex, {
        StrArray texts;
        texts.DimArray(2);
        texts(2) = "x";
    });
}

TEST(ArrayElements, AnIndexErrorWhileFinishingEndsTheProcessAtOnce) {
    // An index error raised while the program is already finishing (from an exit handler, say) cannot start a
    // second finish; there is no element to give back, so the process ends there, with status 0.
    const ProcessResult result = RunInChild([] {
        System().run_shell = [](const char*) { return 0; };
        System().exec_program = [](const char*, const char*) { return -1; };
        System().exit_process = [](int) {
            IntArray array;
            array.DimArray(2);
            printf("before\n");
            array(7) = 99;
            printf("after\n");
            fflush(stdout);
            _exit(3);
        };
        EndProgram();
    });
    EXPECT_EQ(result.exit_status, 0) << result.errors;
    EXPECT_EQ(result.output, "before\n");
}

TEST(ArrayRedim, KeepsTheOverlapAndClearsTheRest) {
    IntArray array;
    array.DimArray(3, 3);
    for (int32_t j = 0; j < 3; ++j)
        for (int32_t i = 0; i < 3; ++i) array(i, j) = 1 + i + 3 * j;
    array.RedimArray(2, 2);
    EXPECT_EQ(array.dim0, 2);
    EXPECT_EQ(array.dim1, 2);
    EXPECT_EQ(array.capacity, 8);
    EXPECT_EQ(array(0, 0), 1);
    EXPECT_EQ(array(1, 0), 2);
    EXPECT_EQ(array(0, 1), 4);
    EXPECT_EQ(array(1, 1), 5);
    for (int32_t i = 4; i < array.capacity; ++i) EXPECT_EQ(array.elements[i], 0) << i;

    array.RedimArray(4, 3, 2);
    EXPECT_EQ(array.rank, 3);
    EXPECT_EQ(array.capacity, 32);
    const int32_t expected[4][3] = {{1, 4, 0}, {2, 5, 0}, {0, 0, 0}, {0, 0, 0}};
    for (int32_t i = 0; i < 4; ++i)
        for (int32_t j = 0; j < 3; ++j) {
            EXPECT_EQ(array(i, j, 0), expected[i][j]) << i << "," << j;
            EXPECT_EQ(array(i, j, 1), 0);
        }

    // From a heap block back into the inline one.
    IntArray wide;
    wide.DimArray(10, 10);
    for (int32_t j = 0; j < 10; ++j)
        for (int32_t i = 0; i < 10; ++i) wide(i, j) = 100 * j + i;
    wide.RedimArray(2, 3);
    EXPECT_EQ(wide.elements, wide.inline_elements);
    EXPECT_EQ(wide.capacity, 8);
    const int32_t wide_expected[6] = {0, 1, 100, 101, 200, 201};
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(wide.elements[i], wide_expected[i]) << i;

    // One dimension: shrinking then growing within the same block must not bring old values back.
    FloatArray line;
    line.DimArray(6);
    for (int32_t i = 0; i < 6; ++i) line(i) = 1.5f;
    line.RedimArray(2);
    line.RedimArray(7);
    EXPECT_EQ(line.capacity, 8);
    const float line_expected[7] = {1.5f, 1.5f, 0, 0, 0, 0, 0};
    for (int32_t i = 0; i < 7; ++i) EXPECT_EQ(line(i), line_expected[i]) << i;
    line.RedimArray(0);
    EXPECT_EQ(line.rank, 0);
    EXPECT_EQ(line.dim0, 0);
    line.RedimArray(2);
    EXPECT_EQ(line(0), 0.0f);
    EXPECT_EQ(line(1), 0.0f);
}

TEST(ArrayRedim, OneDimensionalResizingKeepsThePrefixThroughEveryBlockChange) {
    // Sizes that move the elements between the inline block and the heap, grow and shrink the heap block, and
    // empty the array; after each step the array must hold the kept prefix, zeros after it, and nothing stale.
    const int32_t sizes[] = {5, 16, 40, 3, 100, 17, 0, 9, 1000, 1, 64, 63, 200};
    IntArray numbers;
    StrArray texts;
    std::vector<int32_t> model;
    int32_t stamp = 1;
    for (int32_t size : sizes) {
        SCOPED_TRACE(size);
        numbers.RedimArray(size);
        texts.RedimArray(size);
        model.resize(static_cast<size_t>(size), 0);
        ASSERT_EQ(numbers.dim0, size);
        ASSERT_EQ(texts.dim0, size);
        if (size > 0) {
            EXPECT_EQ(numbers.capacity, size / 8 * 8 + 8);
            EXPECT_EQ(texts.capacity, size / 64 * 64 + 64);
            EXPECT_EQ(numbers.elements == numbers.inline_elements, numbers.capacity <= 16);
        }
        for (int32_t i = 0; i < size; ++i) {
            ASSERT_EQ(numbers(i), model[static_cast<size_t>(i)]) << i;
            ASSERT_EQ(texts(i), model[static_cast<size_t>(i)] == 0 ? BasicString() : BasicString(model[static_cast<size_t>(i)]))
                << i;
        }
        for (int32_t i = size; i < numbers.capacity; ++i) ASSERT_EQ(numbers.elements[i], 0) << i;
        for (int32_t i = size; i < texts.capacity; ++i) ASSERT_TRUE(texts.elements[i].empty()) << i;
        for (int32_t i = 0; i < size; ++i) {
            model[static_cast<size_t>(i)] = stamp++;
            numbers(i) = model[static_cast<size_t>(i)];
            texts(i) = BasicString(model[static_cast<size_t>(i)]);
        }
    }
}

TEST(ArrayRedim, TextsSurviveGrowthAcrossBlocks) {
    StrArray texts;
    texts.DimArray(2, 2);
    texts(0, 0) = "a";
    texts(1, 0) = "b";
    texts(0, 1) = "c";
    texts(1, 1) = "d";
    texts.RedimArray(70, 3);
    EXPECT_EQ(texts.capacity, 256);
    EXPECT_EQ(texts(0, 0), "a");
    EXPECT_EQ(texts(1, 0), "b");
    EXPECT_EQ(texts(0, 1), "c");
    EXPECT_EQ(texts(1, 1), "d");
    EXPECT_TRUE(texts(2, 0).empty());
    EXPECT_TRUE(texts(0, 2).empty());
    texts.RedimArray(1);
    EXPECT_EQ(texts(0), "a");
    EXPECT_EQ(texts.rank, 1);

    StrArray shrink;
    shrink.FillArray({"p", "q", "r"});
    shrink.RedimArray(1);
    shrink.RedimArray(3);
    EXPECT_EQ(shrink(0), "p");
    EXPECT_TRUE(shrink(1).empty());
    EXPECT_TRUE(shrink(2).empty());
    shrink.RedimArray(0);
    shrink.RedimArray(1);
    EXPECT_TRUE(shrink(0).empty());
}

TEST(ArrayCopy, TakesTheSourceDimensionsAndContents) {
    IntArray source;
    source.DimArray(2, 3);
    for (int32_t i = 0; i < 6; ++i) source.elements[i] = i * i;
    IntArray target;
    target.DimArray(40);
    target.CopyArray(source);
    EXPECT_EQ(target.dim0, 2);
    EXPECT_EQ(target.dim1, 3);
    EXPECT_EQ(target.rank, 2);
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(target.elements[i], i * i);
    target.CopyArray(target);
    EXPECT_EQ(target(1, 2), 25);

    // Copies and moves of arrays in the inline block get their own block, not a pointer into the other.
    IntArray copied(source);
    copied(0, 0) = 77;
    EXPECT_EQ(source(0, 0), 0);
    EXPECT_EQ(copied.elements, copied.inline_elements);
    IntArray moved(std::move(copied));
    EXPECT_EQ(moved.elements, moved.inline_elements);
    EXPECT_EQ(moved(0, 0), 77);
    EXPECT_EQ(copied.dim0, 0);
    IntArray big;
    big.DimArray(50);
    big(49) = 3;
    moved = std::move(big);
    EXPECT_EQ(moved(49), 3);
    EXPECT_EQ(big.capacity, 0);

    StrArray texts;
    texts.FillArray({"x", "y"});
    StrArray text_copy;
    text_copy = texts;
    text_copy(0) = "changed";
    EXPECT_EQ(texts(0), "x");
    EXPECT_EQ(text_copy(1), "y");
    EXPECT_EQ(text_copy.dim0, 2);
}

TEST(ArrayFill, DimensionsToTheCountAndTakesTheValues) {
    FloatArray numbers;
    numbers.DimArray(4, 4);
    numbers.FillArray({0.5f, -2.0f, 3.25f});
    EXPECT_EQ(numbers.rank, 1);
    EXPECT_EQ(numbers.dim0, 3);
    EXPECT_EQ(numbers(0), 0.5f);
    EXPECT_EQ(numbers(1), -2.0f);
    EXPECT_EQ(numbers(2), 3.25f);
    const int32_t many[20] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20};
    IntArray integers;
    integers.FillArray(20, many);
    EXPECT_EQ(integers.capacity, 24);
    EXPECT_EQ(integers(-1), 20);
    integers.FillArray(0, many);
    EXPECT_EQ(integers.rank, 0);
}

TEST(StrArrayAppend, AppendsInOrderIncludingItsOwnElements) {
    StrArray texts;
    texts.AppendElement("one");
    texts.AppendElement(BasicString("two"));
    texts.AppendElement("three");
    EXPECT_EQ(texts.dim0, 3);
    EXPECT_EQ(texts.rank, 1);
    EXPECT_EQ(texts(0), "one");
    EXPECT_EQ(texts(1), "two");
    EXPECT_EQ(texts(2), "three");

    // Appending past a block boundary moves the texts; an element of the array itself is copied first.
    for (int32_t i = 3; i < 63; ++i) texts.AppendElement(BasicString(i));
    EXPECT_EQ(texts.capacity, 64);
    texts.AppendElement(texts(1));
    EXPECT_EQ(texts.capacity, 128);
    EXPECT_EQ(texts.dim0, 64);
    EXPECT_EQ(texts(63), "two");
    EXPECT_EQ(texts(62), "62");
    EXPECT_EQ(texts(0), "one");

    StrArray emptied;
    emptied.DimArray(0);
    emptied.AppendElement("only");
    EXPECT_EQ(emptied.dim0, 1);
    EXPECT_EQ(emptied(0), "only");
}

TEST(StrArrayAppend, AppendingToASecondDimensionEndsWithError8) {
    EXPECT_RUNTIME_ERROR(kErrorAppendToMultiDimensional, {
        StrArray texts;
        texts.DimArray(2, 2);
        texts.AppendElement("x");
    });
}

struct HugeDims {
    int32_t d0, d1, d2, d3;
};

TEST(ArrayMemory, DimensionsBeyondThirtyTwoBitsEndWithError7) {
    // Products that would wrap to a small count (65536 x 65536 is 0 in 32 bits) are refused, not allocated.
    const HugeDims cases[] = {{65536, 65536, 0, 0}, {46341, 46341, 0, 0}, {1 << 30, 2, 0, 0},
                              {INT_MAX, 1, 1, 2},   {2, 0, 0, INT_MAX},   {INT_MAX, 0, 0, 0},
                              {1024, 1024, 1024, 4}};
    for (const HugeDims& c : cases) {
        SCOPED_TRACE(std::to_string(c.d0) + " " + std::to_string(c.d1) + " " + std::to_string(c.d2) + " " +
                     std::to_string(c.d3));
        EXPECT_RUNTIME_ERROR(kErrorChannelNumberOrAllocation, {
            IntArray array;
            array.DimArray(c.d0, c.d1, c.d2, c.d3);
        });
        EXPECT_RUNTIME_ERROR(kErrorChannelNumberOrAllocation, {
            StrArray texts;
            texts.DimArray(4);
            texts.RedimArray(c.d0, c.d1, c.d2, c.d3);
        });
    }
}

TEST(ArrayMemory, ElementsThatDoNotFitInMemoryEndWithError7) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator ends the process itself when memory runs out";
#else
    // Within a child limited to 512 MiB of address space: a count that fits 32 bits but not the memory.
    auto limited = [](const std::function<void()>& body) {
        return [body] {
            rlimit limit = {512u << 20, 512u << 20};
            setrlimit(RLIMIT_AS, &limit);
            body();
        };
    };
    EXPECT_RUNTIME_ERROR(kErrorChannelNumberOrAllocation, limited([] {
                             FloatArray numbers;
                             numbers.DimArray(0x7FFFFF00);
                         })());
    EXPECT_RUNTIME_ERROR(kErrorChannelNumberOrAllocation, limited([] {
                             StrArray texts;
                             texts.DimArray(100000000);
                         })());
    EXPECT_RUNTIME_ERROR(kErrorChannelNumberOrAllocation, limited([] {
                             IntArray numbers;
                             numbers.DimArray(10);
                             numbers.RedimArray(20000, 20000);
                         })());
#endif
}

}  // namespace
