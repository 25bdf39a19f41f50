// File layer figures: expanding a 1 MiB pack entry through RequestFile beside LZO's own decompression of the
// same stream, and case-insensitive lookups in folders of growing size.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <lzo/lzo1x.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "files/case_paths.h"
#include "files/memory_file.h"
#include "files/pack_codec.h"
#include "files/pack_source.h"

namespace {

std::string MakeFolder(const std::string& label) {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && base[0] != 0 ? base : "/tmp") + "/korvane-bench-" + label +
                          "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    if (mkdtemp(buffer.data()) == nullptr) abort();
    return buffer.data();
}

void RemoveFolder(const std::string& folder) {
    if (system(("rm -rf '" + folder + "'").c_str()) != 0) fprintf(stderr, "could not remove %s\n", folder.c_str());
}

// 1 MiB of level-like text with some variety: compresses about as well as game data does.
std::vector<uint8_t> EntryBytes() {
    std::vector<uint8_t> bytes;
    uint32_t seed = 12345;
    while (bytes.size() < (1u << 20)) {
        seed = seed * 1664525u + 1013904223u;
        const std::string row = "tile " + std::to_string(seed >> 20) + " at " + std::to_string((seed >> 8) & 1023) +
                                (seed & 1 ? " solid\n" : " open\n");
        bytes.insert(bytes.end(), row.begin(), row.end());
    }
    bytes.resize(1u << 20);
    return bytes;
}

// A pack of one entry "level.dat", offsets counted from the end.
std::vector<uint8_t> PackOf(const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> pack(payload);
    const int32_t total = static_cast<int32_t>(payload.size() + 1 + 9 + 8 + 1 + 7);
    auto put32 = [&](int32_t value) {
        uint8_t bytes[4];
        WriteLittleEndian32(bytes, value);
        pack.insert(pack.end(), bytes, bytes + 4);
    };
    pack.push_back(9);
    const char* name = "level.dat";
    pack.insert(pack.end(), name, name + 9);
    put32(-total);
    put32(static_cast<int32_t>(payload.size()));
    pack.push_back(0);
    pack.insert(pack.end(), {'s', 'b', 'X'});
    put32(-(1 + 9 + 8 + 1 + 7));
    return pack;
}

void BM_LzoDecompressOneMiB(benchmark::State& state) {
    PackCodec codec;
    const std::vector<uint8_t> data = EntryBytes();
    const std::vector<uint8_t> payload = codec.Compress(data.data(), static_cast<uint32_t>(data.size()));
    std::vector<uint8_t> out(data.size());
    for (auto _ : state) {
        lzo_uint length = out.size();
        lzo1x_decompress_safe(payload.data() + 4, payload.size() - 4, out.data(), &length, nullptr);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
    state.counters["stored"] = static_cast<double>(payload.size());
}
BENCHMARK(BM_LzoDecompressOneMiB)->Unit(benchmark::kMicrosecond);

// Through RequestFile: the disk miss (exact open and a scan of a small folder), the pack opened and its
// trailer and directory read, the payload read and expanded into a new block.
void RequestOneMiB(benchmark::State& state, bool pack_in_memory) {
    PackCodec codec;
    const std::vector<uint8_t> data = EntryBytes();
    const std::vector<uint8_t> pack = PackOf(codec.Compress(data.data(), static_cast<uint32_t>(data.size())));
    const std::string folder = MakeFolder("request");
    char* previous = getcwd(nullptr, 0);
    if (chdir(folder.c_str()) != 0) abort();
    FILE* file = fopen("program", "wb");
    fwrite(pack.data(), 1, pack.size(), file);
    fclose(file);
    CreatePackSources();
    SetPackFile(pack_in_memory ? MemoryFileName(pack.data(), static_cast<uint32_t>(pack.size())).c_str()
                               : (folder + "/program").c_str());
    BasicString out;
    // The disk miss prints one line per request; it goes to /dev/null here.
    fflush(stdout);
    const int saved = dup(1);
    const int null_output = open("/dev/null", O_WRONLY);
    dup2(null_output, 1);
    for (auto _ : state) {
        if (RequestFile(*g_general_pack, "level.dat", out, 1) != 1) state.SkipWithError("not found");
        benchmark::DoNotOptimize(g_general_pack->memory_block);
    }
    fflush(stdout);
    dup2(saved, 1);
    close(saved);
    close(null_output);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
    ReleasePackSources();
    if (chdir(previous) != 0) abort();
    free(previous);
    RemoveFolder(folder);
}
void BM_RequestFileOneMiBFromFile(benchmark::State& state) { RequestOneMiB(state, false); }
void BM_RequestFileOneMiBFromMemory(benchmark::State& state) { RequestOneMiB(state, true); }
BENCHMARK(BM_RequestFileOneMiBFromFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RequestFileOneMiBFromMemory)->Unit(benchmark::kMicrosecond);

// A folder of n files; the wanted name differs from the last-made file by case only, or matches nothing.
void FindInFolder(benchmark::State& state, bool present) {
    const int count = static_cast<int>(state.range(0));
    const std::string folder = MakeFolder("find");
    for (int i = 0; i < count; ++i) {
        const std::string path = folder + "/file_" + std::to_string(i) + ".png";
        const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT, 0644);
        if (descriptor >= 0) close(descriptor);
    }
    const std::string wanted = folder + (present ? "/FILE_" + std::to_string(count - 1) + ".PNG" : "/missing.png");
    BasicString out;
    for (auto _ : state) benchmark::DoNotOptimize(FindCaseInsensitive(wanted.c_str(), out));
    state.SetComplexityN(count);
    RemoveFolder(folder);
}
void BM_FindCaseInsensitiveCorrected(benchmark::State& state) { FindInFolder(state, true); }
void BM_FindCaseInsensitiveMissing(benchmark::State& state) { FindInFolder(state, false); }
BENCHMARK(BM_FindCaseInsensitiveCorrected)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();
BENCHMARK(BM_FindCaseInsensitiveMissing)->Arg(10)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond)->Complexity();

}  // namespace
