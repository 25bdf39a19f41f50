// The benchmarks' own entry point (the runtime library brings a main of its own for applications).
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
