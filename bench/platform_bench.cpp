// Platform services: answering keys, reading the battery through a stand-in device, looking functions up by
// name in the program's table and in a module, each beside the bare work it stands on.
#include <benchmark/benchmark.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/foreign_calls.h"
#include "platform/platform_info.h"

namespace {

void BM_PlatformInfoDevice(benchmark::State& state) {
    for (auto _ : state) {
        BasicString key("device");
        BasicString answer = PlatformInfo(key);
        benchmark::DoNotOptimize(answer.c_str());
    }
}
BENCHMARK(BM_PlatformInfoDevice);

void BM_PlatformInfoUnknownKey(benchmark::State& state) {
    for (auto _ : state) {
        BasicString key("no such key at all");
        BasicString answer = PlatformInfo(key);
        benchmark::DoNotOptimize(answer.c_str());
    }
}
BENCHMARK(BM_PlatformInfoUnknownKey);

// Baseline: the key's copy and upper-casing and the answer's text, with no comparisons.
void BM_BaselineKeyAndAnswerTexts(benchmark::State& state) {
    for (auto _ : state) {
        BasicString key("device");
        key.MakeUpper();
        BasicString answer("WIZ");
        benchmark::DoNotOptimize(key.c_str());
        benchmark::DoNotOptimize(answer.c_str());
    }
}
BENCHMARK(BM_BaselineKeyAndAnswerTexts);

void BM_PlatformInfoTime(benchmark::State& state) {
    for (auto _ : state) {
        BasicString key("TIME");
        BasicString answer = PlatformInfo(key);
        benchmark::DoNotOptimize(answer.c_str());
    }
}
BENCHMARK(BM_PlatformInfoTime);

// Baseline: the same text from the C library in one go.
void BM_BaselineTimeWithStrftime(benchmark::State& state) {
    for (auto _ : state) {
        const time_t now = time(nullptr);
        tzset();
        struct tm fields;
        localtime_r(&now, &fields);
        char text[32];
        strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &fields);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_BaselineTimeWithStrftime);

// A stand-in battery device holding a raw reading of 712, for the life of the benchmark process.
const std::string& StandInBattery() {
    static const std::string folder = [] {
        char pattern[] = "/tmp/korvane_bench_devices_XXXXXX";
        const std::string path = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
        const uint16_t raw = 712;
        FILE* file = fopen((path + "/batt").c_str(), "wb");
        if (file != nullptr) {
            fwrite(&raw, sizeof(raw), 1, file);
            fclose(file);
        }
        setenv("KORVANE_DEVROOT", path.c_str(), 1);
        return path;
    }();
    return folder;
}

void BM_BatteryLevelFromStandIn(benchmark::State& state) {
    StandInBattery();
    for (auto _ : state) benchmark::DoNotOptimize(BatteryLevel());
}
BENCHMARK(BM_BatteryLevelFromStandIn);

// Baseline: opening, reading and closing the same file directly.
void BM_BaselineOpenReadClose(benchmark::State& state) {
    const std::string path = StandInBattery() + "/batt";
    for (auto _ : state) {
        uint16_t raw = 0;
        const int descriptor = open(path.c_str(), O_RDONLY);
        benchmark::DoNotOptimize(read(descriptor, &raw, sizeof(raw)));
        close(descriptor);
        benchmark::DoNotOptimize(raw);
    }
}
BENCHMARK(BM_BaselineOpenReadClose);

void Nothing() {}

// A 64-entry table; the name looked for is the last one, the search's worst case.
struct NamedFunctions {
    std::vector<std::string> names;
    std::vector<CallableFunction> entries;
    NamedFunctions() {
        for (int i = 0; i < 64; ++i) names.push_back("GameFunction" + std::to_string(i));
        for (const std::string& name : names) entries.push_back(CallableFunction{Nothing, name.c_str()});
    }
};

void BM_FindCallableFunctionLastOf64(benchmark::State& state) {
    static const NamedFunctions functions;
    const CallableFunctionTable table{functions.entries.data(), functions.entries.size()};
    const BasicString name("GameFunction63");
    for (auto _ : state) benchmark::DoNotOptimize(FindCallableFunction(table, name.c_str()));
}
BENCHMARK(BM_FindCallableFunctionLastOf64);

// Baseline: a hash map from name to function over the same names.
void BM_BaselineHashMapLookup(benchmark::State& state) {
    static const NamedFunctions functions;
    std::unordered_map<std::string, void (*)()> map;
    for (const std::string& name : functions.names) map[name] = Nothing;
    const BasicString name("GameFunction63");
    for (auto _ : state) benchmark::DoNotOptimize(map.find(name.c_str()));
}
BENCHMARK(BM_BaselineHashMapLookup);

void BM_DeclareFunctionInModule(benchmark::State& state) {
    static const float registered = RegisterModule(BasicString("LibC"), BasicString("libc.so.6"));
    if (registered == 0.0f) state.SkipWithError("libc.so.6 did not open");
    const BasicString module("libc"), symbol("strlen");
    for (auto _ : state) {
        void* address = nullptr;
        DeclareFunction(module, symbol, address);
        benchmark::DoNotOptimize(address);
    }
}
BENCHMARK(BM_DeclareFunctionInModule);

// Baseline: the dynamic linker's lookup alone.
void BM_BaselineDlsym(benchmark::State& state) {
    void* handle = dlopen("libc.so.6", RTLD_NOW | RTLD_LOCAL);
    for (auto _ : state) benchmark::DoNotOptimize(dlsym(handle, "strlen"));
    dlclose(handle);
}
BENCHMARK(BM_BaselineDlsym);

}  // namespace
