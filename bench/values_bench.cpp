// Values: random numbers, bounds-tested array access beside a raw pointer walk, and splitting a large text.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "text/arrays.h"
#include "text/random.h"
#include "text/text_commands.h"

namespace {

// Every number is one full 256-word generation.
void BM_RandomInt(benchmark::State& state) {
    SeedRandom(1);
    for (auto _ : state) benchmark::DoNotOptimize(RandomInt(1000));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RandomInt);

constexpr int32_t kSide0 = 16, kSide1 = 12, kSide2 = 10, kSide3 = 8;  // 15360 elements

// The handheld's processor has no vector unit, so both walks are measured as scalar loops: a vectorised raw
// walk on the desktop would compare against something the target cannot do.
#define SCALAR_LOOPS __attribute__((optimize("no-tree-vectorize")))

IntArray& FourDimensionalArray() {
    static IntArray array;
    if (array.dim0 == 0) {
        array.DimArray(kSide0, kSide1, kSide2, kSide3);
        for (int32_t i = 0; i < kSide0 * kSide1 * kSide2 * kSide3; ++i) array.elements[i] = i & 1023;
    }
    return array;
}

// Every element through ArrayElement, in storage order.
SCALAR_LOOPS void BM_ArrayElementWalk(benchmark::State& state) {
    IntArray& array = FourDimensionalArray();
    for (auto _ : state) {
        int32_t sum = 0;
        for (int32_t l = 0; l < kSide3; ++l)
            for (int32_t k = 0; k < kSide2; ++k)
                for (int32_t j = 0; j < kSide1; ++j)
                    for (int32_t i = 0; i < kSide0; ++i) sum += array(i, j, k, l);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSide0 * kSide1 * kSide2 * kSide3);
}
BENCHMARK(BM_ArrayElementWalk);

// The same elements in the same order through a raw pointer, with the index computed by hand and no test.
SCALAR_LOOPS void BM_RawPointerWalk(benchmark::State& state) {
    IntArray& array = FourDimensionalArray();
    const int32_t* elements = array.elements;
    const int32_t s1 = array.stride1, s2 = array.stride2, s3 = array.stride3;
    for (auto _ : state) {
        int32_t sum = 0;
        for (int32_t l = 0; l < kSide3; ++l)
            for (int32_t k = 0; k < kSide2; ++k)
                for (int32_t j = 0; j < kSide1; ++j)
                    for (int32_t i = 0; i < kSide0; ++i) sum += elements[i + j * s1 + k * s2 + l * s3];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSide0 * kSide1 * kSide2 * kSide3);
}
BENCHMARK(BM_RawPointerWalk);

// Random access: the indexes come from a table, so neither walk can be turned into a sequential sweep. Both
// walks use the same table, made once.
using Places = int32_t[4096][4];
const Places& ScatteredPlaces() {
    static Places places;
    static const bool made = [] {
        SeedRandom(2);
        for (auto& p : places) {
            p[0] = RandomInt(kSide0 - 1);
            p[1] = RandomInt(kSide1 - 1);
            p[2] = RandomInt(kSide2 - 1);
            p[3] = RandomInt(kSide3 - 1);
        }
        return true;
    }();
    (void)made;
    return places;
}

SCALAR_LOOPS void BM_ArrayElementScattered(benchmark::State& state) {
    IntArray& array = FourDimensionalArray();
    const auto& places = ScatteredPlaces();
    for (auto _ : state) {
        int32_t sum = 0;
        for (const auto& p : places) sum += array(p[0], p[1], p[2], p[3]);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_ArrayElementScattered);

SCALAR_LOOPS void BM_RawPointerScattered(benchmark::State& state) {
    IntArray& array = FourDimensionalArray();
    const auto& places = ScatteredPlaces();
    const int32_t* elements = array.elements;
    const int32_t s1 = array.stride1, s2 = array.stride2, s3 = array.stride3;
    for (auto _ : state) {
        int32_t sum = 0;
        for (const auto& p : places) sum += elements[p[0] + p[1] * s1 + p[2] * s2 + p[3] * s3];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * 4096);
}
BENCHMARK(BM_RawPointerScattered);

// 1 MiB of words of 1 to 8 letters between single blanks and occasional commas.
BasicString MegabyteText() {
    std::string text;
    text.reserve(1 << 20);
    uint32_t seed = 12345;
    while (text.size() < (1u << 20) - 16) {
        seed = seed * 1103515245u + 12345u;
        const int letters = 1 + static_cast<int>((seed >> 16) % 8);
        for (int i = 0; i < letters; ++i) text.push_back(static_cast<char>('a' + (seed >> (i + 3)) % 26));
        text.push_back((seed >> 24) % 7 == 0 ? ',' : ' ');
    }
    return BasicString(text.c_str());
}

void BM_SplitTextMegabyte(benchmark::State& state) {
    const BasicString text = MegabyteText();
    StrArray fields;
    int32_t count = 0;
    for (auto _ : state) {
        count = SplitText(text, " ,", fields);
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(state.iterations() * text.length());
    state.counters["fields"] = count;
}
BENCHMARK(BM_SplitTextMegabyte)->Unit(benchmark::kMillisecond);

// The same split grown one field at a time by appends, as a program without SplitText would do it.
void BM_AppendFieldsMegabyte(benchmark::State& state) {
    const BasicString text = MegabyteText();
    for (auto _ : state) {
        StrArray fields;
        const char* p = text.c_str();
        while (*p != 0) {
            while (*p == ' ' || *p == ',') ++p;
            const char* start = p;
            while (*p != 0 && *p != ' ' && *p != ',') ++p;
            if (p > start) fields.AppendElement(Substring(text, static_cast<int32_t>(start - text.c_str()),
                                                          static_cast<int32_t>(p - start)));
        }
        benchmark::DoNotOptimize(fields.dim0);
    }
    state.SetBytesProcessed(state.iterations() * text.length());
}
BENCHMARK(BM_AppendFieldsMegabyte)->Unit(benchmark::kMillisecond);

}  // namespace
