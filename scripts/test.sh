#!/usr/bin/env bash
# Installs what the tests need, then builds and runs: every test under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzz targets for a bounded time, and the Windows cross-build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-60}
started=$SECONDS

# Ends the phase under way with its time, and starts the next one (none for "").
phase_name=
phase_started=$SECONDS
phase() {
  local took=$((SECONDS - phase_started))
  [ -z "$phase_name" ] || echo "== $phase_name: done in $((took / 60)) min $((took % 60)) s"
  phase_name=$1
  phase_started=$SECONDS
  [ -z "$phase_name" ] || echo "== $phase_name"
}

phase "Packages"
"$root/scripts/install_deps.sh" test

phase "Building the tests (ASan + UBSan)"
cmake -S "$root" -B "$root/build-test" -DBENCH_SANITIZE=ON -DBENCH_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build-test" -j"$jobs"

phase "Tests (ASan + UBSan)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir "$root/build-test" --output-on-failure -j"$jobs" | tee "$root/build-test/ctest.log"
. "$root/scripts/ctest_counts.sh"
read -r _ total skipped < <(ctest_counts "$root/build-test/ctest.log")

phase "Borders between the layer's parts"
python3 "$root/scripts/check_borders.py" "$root/build-test"

phase "Building the fuzz targets"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-fuzz" -DBENCH_FUZZ=ON -DBENCH_TESTS=OFF \
  -DBENCH_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build-fuzz" -j"$jobs"

phase "Fuzzing (${fuzz_seconds}s a target)"
"$root/scripts/fuzz.sh" "$root/build-fuzz" "$fuzz_seconds"

phase "Windows cross-build (mingw-w64, real platform headers)"
cmake -S "$root" -B "$root/build-win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw32.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build-win" -j"$jobs"
echo "Windows build: $(ls "$root/build-win/gdibench.exe")"
phase ""

echo "== Summary (sanitized tests, fuzzing, Windows build all done in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s)"
echo "tests: $((${total:-0} - skipped)) passed, 0 failed, $skipped skipped"
