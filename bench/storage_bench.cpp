// Storage figures: 1 MiB written and read through a file channel as bytes, longs and lines, each beside plain
// fwrite/fread of the same bytes in the same pieces (and in one piece); IniRead in a table of 100 sections of
// 100 keys.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/file_channels.h"
#include "files/ini_files.h"

namespace {

constexpr int32_t kMiB = 1 << 20;
// 62 characters and "\r\n": 16384 lines make 1 MiB.
constexpr int32_t kLineText = 62;
constexpr int32_t kLines = kMiB / (kLineText + 2);

const std::string& ScratchFile() {
    static const std::string path = [] {
        const char* base = getenv("TMPDIR");
        std::string pattern =
            std::string(base != nullptr && base[0] != 0 ? base : "/tmp") + "/korvane-bench-storage-XXXXXX";
        const int descriptor = mkstemp(&pattern[0]);
        if (descriptor < 0) abort();
        close(descriptor);
        return pattern;
    }();
    return path;
}

const BasicString& LineText() {
    static const BasicString text(std::string(kLineText, 'x').c_str());
    return text;
}

void Processed(benchmark::State& state) { state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kMiB); }

void BM_ChannelWriteBytes(benchmark::State& state) {
    for (auto _ : state) {
        OpenFileChannel(0, ScratchFile().c_str(), 0);
        for (int32_t i = 0; i < kMiB; ++i) WriteByte(0, i);
        CloseFileChannel(0);
    }
    Processed(state);
}

void BM_ChannelWriteLongs(benchmark::State& state) {
    for (auto _ : state) {
        OpenFileChannel(0, ScratchFile().c_str(), 0);
        for (int32_t i = 0; i < kMiB / 4; ++i) WriteLong(0, i);
        CloseFileChannel(0);
    }
    Processed(state);
}

void BM_ChannelWriteLines(benchmark::State& state) {
    for (auto _ : state) {
        OpenFileChannel(0, ScratchFile().c_str(), 0);
        for (int32_t i = 0; i < kLines; ++i) WriteLine(0, LineText());
        CloseFileChannel(0);
    }
    Processed(state);
}

// The same bytes with fwrite, in pieces of the given size (1 MiB: one call).
void BM_FwriteBaseline(benchmark::State& state) {
    const size_t piece = static_cast<size_t>(state.range(0));
    const std::vector<char> bytes(kMiB, 'x');
    for (auto _ : state) {
        FILE* file = fopen(ScratchFile().c_str(), "wb");
        for (size_t at = 0; at < bytes.size(); at += piece) fwrite(bytes.data() + at, 1, piece, file);
        fclose(file);
    }
    Processed(state);
}

void PrepareReadFile() {
    FILE* file = fopen(ScratchFile().c_str(), "wb");
    for (int32_t i = 0; i < kLines; ++i) fprintf(file, "%s\r\n", LineText().c_str());
    fclose(file);
}

void BM_ChannelReadBytes(benchmark::State& state) {
    PrepareReadFile();
    for (auto _ : state) {
        OpenFileChannel(0, ScratchFile().c_str(), 1);
        int32_t sum = 0;
        for (int32_t i = 0; i < kMiB; ++i) sum += ReadByte(0);
        benchmark::DoNotOptimize(sum);
        CloseFileChannel(0);
    }
    Processed(state);
}

void BM_ChannelReadLongs(benchmark::State& state) {
    PrepareReadFile();
    for (auto _ : state) {
        OpenFileChannel(0, ScratchFile().c_str(), 1);
        int32_t sum = 0;
        for (int32_t i = 0; i < kMiB / 4; ++i) sum += ReadLong(0);
        benchmark::DoNotOptimize(sum);
        CloseFileChannel(0);
    }
    Processed(state);
}

void BM_ChannelReadLines(benchmark::State& state) {
    PrepareReadFile();
    for (auto _ : state) {
        OpenFileChannel(0, ScratchFile().c_str(), 1);
        uint32_t total = 0;
        for (int32_t i = 0; i < kLines; ++i) total += ReadLine(0).length();
        benchmark::DoNotOptimize(total);
        CloseFileChannel(0);
    }
    Processed(state);
}

void BM_FreadBaseline(benchmark::State& state) {
    PrepareReadFile();
    const size_t piece = static_cast<size_t>(state.range(0));
    std::vector<char> bytes(kMiB);
    for (auto _ : state) {
        FILE* file = fopen(ScratchFile().c_str(), "rb");
        for (size_t at = 0; at < bytes.size(); at += piece) fread(bytes.data() + at, 1, piece, file);
        benchmark::DoNotOptimize(bytes.data());
        fclose(file);
    }
    Processed(state);
}

void BM_FgetsBaseline(benchmark::State& state) {
    PrepareReadFile();
    char line[1025];
    for (auto _ : state) {
        FILE* file = fopen(ScratchFile().c_str(), "rb");
        size_t total = 0;
        while (fgets(line, sizeof(line), file) != nullptr) total += line[0];
        benchmark::DoNotOptimize(total);
        fclose(file);
    }
    Processed(state);
}

void BM_IniReadHundredByHundred(benchmark::State& state) {
    IniTable table;
    std::vector<BasicString> sections, keys;
    for (int i = 0; i < 100; ++i) {
        sections.emplace_back(("Section" + std::to_string(i)).c_str());
        keys.emplace_back(("key_number_" + std::to_string(i)).c_str());
    }
    for (int s = 0; s < 100; ++s)
        for (int k = 0; k < 100; ++k) WriteIniValue(table, sections[s], keys[k], BasicString(s * 100 + k));
    // Names asked in another letter case, spread over the whole table.
    std::vector<BasicString> asked_sections, asked_keys;
    for (int i = 0; i < 100; ++i) {
        asked_sections.push_back(ToUpperCopy(sections[(i * 37) % 100]));
        asked_keys.push_back(ToUpperCopy(keys[(i * 61) % 100]));
    }
    size_t i = 0;
    for (auto _ : state) {
        const BasicString* value = FindIniValue(table, asked_sections[i % 100], asked_keys[i % 100]);
        benchmark::DoNotOptimize(value);
        ++i;
    }
}

void BM_IniReadCommand(benchmark::State& state) {
    for (int s = 0; s < 100; ++s)
        for (int k = 0; k < 100; ++k)
            IniWrite(("Section" + std::to_string(s)).c_str(), ("key_number_" + std::to_string(k)).c_str(), "1");
    const BasicString section("SECTION99"), key("KEY_NUMBER_99");
    for (auto _ : state) benchmark::DoNotOptimize(IniRead(section, key));
    // Nothing is saved: the table was never opened from a file.
}

}  // namespace

BENCHMARK(BM_ChannelWriteBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelWriteLongs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelWriteLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FwriteBaseline)->Arg(1)->Arg(4)->Arg(64)->Arg(kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelReadLongs)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChannelReadLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FreadBaseline)->Arg(1)->Arg(4)->Arg(64)->Arg(kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FgetsBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IniReadHundredByHundred);
BENCHMARK(BM_IniReadCommand);
