#!/usr/bin/env bash
# Installs what the bench needs, builds it, and runs it in a fresh working directory holding the
# bundled sample images. Arguments go to the bench (see gdibench --help). Without arguments it
# opens the real window when there is a display; with none it runs the main job headless (modes 1,
# 8 and 9, then Esc, with a screenshot) and lists what it wrote.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install_deps.sh" run >&2
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBENCH_TESTS=OFF -DBENCH_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target gdibench gdibench-inspect >&2
bench=$root/build/gdibench
inspect=$root/build/gdibench-inspect
work=$(mktemp -d "${TMPDIR:-/tmp}/gdibench-run-XXXXXX")
cp "$root/samples/123A.jpg" "$root/samples/testA.bmp" "$work/"
cd "$work"

# What each file of the working directory holds, for the table of outputs.
descriptions=(
  "123A.jpg|the sample photo modes 1 and 8 transcode (input)"
  "testA.bmp|the sample bitmap mode 9 draws (input)"
  "testC.jpg|123A.jpg encoded again as JPEG at quality 100 (modes 1 and 8)"
  "new.bmp|the client area captured by mode 1: raw 24-bit top-down rows, no header"
  "test8.txt|the 1280 x 1024 grab of mode 8: blue, green, red of each pixel as numbers"
  "test9.txt|the grab of mode 9, testA.bmp drawn at the top-left: the same numbers"
  "screenshot.png|the client area when the bench ended"
  "new.png|new.bmp as a picture (gdibench-inspect)"
  "test8.png|test8.txt as a picture (gdibench-inspect)"
  "test9.png|test9.txt as a picture (gdibench-inspect)"
)

# PNG views of the raw outputs, beside them.
write_views() {
  local name
  for name in new.bmp test8.txt test9.txt; do
    if [ -e "$name" ]; then "$inspect" "$name" --png "${name%.*}.png" >/dev/null || true; fi  # it says why
  done
  return 0
}

# One row for each described file that exists: name, size in bytes, what it holds.
print_outputs() {
  local row name
  printf '%-16s %10s  %s\n' File Bytes Holds
  for row in "${descriptions[@]}"; do
    name=${row%%|*}
    [ -e "$name" ] && printf '%-16s %10s  %s\n' "$name" "$(stat -c %s "$name")" "${row#*|}"
  done
  return 0
}

if [ $# -gt 0 ]; then
  echo "Working directory: $work" >&2
  exec "$bench" "$@"
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Working directory: $work" >&2
  echo "Keys: 0-9 choose the mode (1, 8 and 9 write files), E/R D/F T/Y G/H step the offsets, Esc or Q quits" >&2
  exec "$bench" --window
fi
"$bench" --headless --keys "1 8 9 Esc" --screenshot screenshot.png
write_views
echo
print_outputs
echo "Working directory: $work"
