#!/usr/bin/env bash
# Sets everything up, builds the whole suite and runs it; then builds it again with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs it there; then runs each fuzz target for a bounded time. Exits non-zero
# on any failure or sanitizer report.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=$(nproc)
fuzz_seconds=${KORVANE_FUZZ_SECONDS:-60}

bash "$top/scripts/setup.sh" --tests

export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy

echo "== Build and test"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j"$jobs"
ctest --test-dir "$top/build" -j"$jobs" --output-on-failure

echo "== Build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions="$top/tests/lsan.supp"
cmake -S "$top" -B "$top/build-sanitize" -DCMAKE_BUILD_TYPE=Debug -DKORVANE_SANITIZE=ON -DKORVANE_BENCH=OFF >/dev/null
cmake --build "$top/build-sanitize" -j"$jobs"
ctest --test-dir "$top/build-sanitize" -j"$jobs" --output-on-failure

# A few valid inputs per fuzz target, so that the fuzzers start inside the readers rather than at their doors.
seed_corpus() {
  local name=$1 corpus=$2
  case "$name" in
    pack_reader_fuzz)
      "$top/build/korvane-pack" create "$corpus/seed-end" --as level1.txt "$top/README.md" >/dev/null
      "$top/build/korvane-pack" create --from-start "$corpus/seed-start" --as a "$top/CMakeLists.txt" >/dev/null ;;
    bmp_reader_fuzz)
      convert -size 7x5 xc:red "BMP3:$corpus/rgb24.bmp"
      convert -size 6x4 gradient:black-white -type palette -compress none "BMP3:$corpus/indexed.bmp"
      convert -size 5x3 xc:white -type bilevel "BMP3:$corpus/mono.bmp" ;;
    png_reader_fuzz)
      convert -size 7x5 xc:red "$corpus/rgb.png"
      convert -size 6x4 gradient:black-white "PNG8:$corpus/palette.png"
      convert -size 5x3 xc:"rgba(0,0,255,0.5)" "PNG32:$corpus/rgba.png"
      convert -size 8x8 gradient: -interlace PNG "$corpus/interlaced.png" ;;
  esac
}

if compgen -G "$top/fuzz/*.cpp" >/dev/null; then
  echo "== Fuzz for ${fuzz_seconds} s per target"
  CC=clang-14 CXX=clang++-14 cmake -S "$top" -B "$top/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DKORVANE_FUZZ=ON -DKORVANE_TESTS=OFF -DKORVANE_BENCH=OFF >/dev/null
  cmake --build "$top/build-fuzz" -j"$jobs"
  for source in "$top"/fuzz/*.cpp; do
    name=$(basename "$source" .cpp)
    corpus="$top/build-fuzz/corpus-$name"
    mkdir -p "$corpus"
    seed_corpus "$name" "$corpus"
    echo "-- $name"
    "$top/build-fuzz/fuzz/$name" -max_total_time="$fuzz_seconds" -max_len=65536 -rss_limit_mb=2048 -malloc_limit_mb=300 \
      -print_final_stats=1 "$corpus" 2>"$top/build-fuzz/$name.log" || { tail -n 60 "$top/build-fuzz/$name.log"; exit 1; }
    grep -E "stat::number_of_executed_units" "$top/build-fuzz/$name.log" || true
  done
fi
echo "All tests passed."
