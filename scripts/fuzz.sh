#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time, seeded from the shared test corpus.
# Usage: fuzz.sh BUILD_DIR SECONDS
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=$2
corpus="$root/../shared/corpus"

seeds_for() {
  case "$1" in
    bmp_section_fuzz) echo "$corpus/bmp/g $corpus/bmp/q $corpus/bmp/b" ;;
    image_loader_fuzz) echo "$corpus/jpeg $corpus/png $corpus/bmp/g $corpus/bmp/b" ;;
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
