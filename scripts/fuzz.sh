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

for target in "$build"/fuzz/*_fuzz; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  work=$(mktemp -d)
  seeds=()
  for dir in $(seeds_for "$name"); do [ -d "$dir" ] && seeds+=("$dir"); done
  echo "-- $name: ${seconds}s"
  ASAN_OPTIONS=detect_leaks=1 "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=20 \
    -print_final_stats=1 "$work" "${seeds[@]}" 2>&1 | grep -E "^(stat::number_of_executed_units|==|SUMMARY|INFO: Seed)" || true
  status=${PIPESTATUS[0]}
  rm -rf "$work"
  [ "$status" -eq 0 ] || { echo "$name failed"; exit 1; }
done
