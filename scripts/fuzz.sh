#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, seeded from the test images that the
# build made (its test_images target).
# Usage: fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=$2
images="$build/test-images"
[ -d "$images" ] || { echo "no test images in $build: build its test_images target"; exit 1; }

seeds_for() {
  case "$1" in
    bmp_section_fuzz) echo "$images/bmp/g $images/bmp/q $images/bmp/b" ;;
    image_loader_fuzz) echo "$images/jpeg/g $images/jpeg/b $images/png/g $images/png/b $images/bmp/g $images/bmp/b" ;;
    *) echo "" ;;
  esac
}

targets=("$build"/fuzz/*_fuzz)
echo "-- ${#targets[@]} fuzz targets, ${seconds}s each"
for target in "${targets[@]}"; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  seeds=()
  for dir in $(seeds_for "$name"); do [ -d "$dir" ] && seeds+=("$dir"); done
  echo "-- $name: fuzzing for ${seconds}s"
  started=$SECONDS
  status=0
  ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
    -print_final_stats=1 "$work" "${seeds[@]}" >"$work.log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work.log")
  if [ "$status" -eq 0 ]; then
    echo "-- $name: ${runs:-?} inputs in $((SECONDS - started))s, no failure"
  else
    grep -E "^(==|SUMMARY|INFO: Seed)" "$work.log" || tail -n 20 "$work.log"
    echo "-- $name failed (exit code $status)"
  fi
  rm -rf "$work" "$work.log"
  [ "$status" -eq 0 ] || exit 1
done
