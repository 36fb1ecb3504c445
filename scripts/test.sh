#!/usr/bin/env bash
# Installs what the tests need, then builds and runs: every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and the Windows cross-build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}
"$root/scripts/install_deps.sh" test

echo "== Tests (ASan + UBSan)"
cmake -S "$root" -B "$root/build-test" -DBENCH_SANITIZE=ON -DBENCH_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build-test" -j"$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir "$root/build-test" --output-on-failure -j"$jobs" | tee "$root/build-test/ctest.log"
. "$root/scripts/ctest_counts.sh"
read -r _ total skipped < <(ctest_counts "$root/build-test/ctest.log")

echo "== Borders between the layer's parts"
python3 "$root/scripts/check_borders.py" "$root/build-test"

echo "== Fuzzing (${fuzz_seconds}s a target)"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DBENCH_FUZZ=ON -DBENCH_TESTS=OFF \
  -DBENCH_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build-fuzz" -j"$jobs"
"$root/scripts/fuzz.sh" "$root/build-fuzz" "$fuzz_seconds"

echo "== Windows cross-build (mingw-w64, real platform headers)"
cmake -S "$root" -B "$root/build-win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-win" -j"$jobs"
echo "Windows build: $(ls "$root/build-win/gdibench.exe")"

echo "== Summary (sanitized tests, fuzzing, Windows build all done)"
echo "tests: $((${total:-0} - skipped)) passed, 0 failed, $skipped skipped"
