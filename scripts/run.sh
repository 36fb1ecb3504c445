#!/usr/bin/env bash
# Installs what the bench needs, builds it, and runs it in a working directory holding the bundled
# sample images. Without arguments it opens the real window when there is a display; with none it
# runs the main job headless (modes 1, 8 and 9, then Esc, with a screenshot). Either way it ends
# with a table of what the run wrote and the working directory with its size.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${TMPDIR:-/tmp}
marker=.gdibench-run  # in each folder this script made, and only there

usage() {
  cat <<EOF
Usage: scripts/run.sh [--out DIR] [BENCH OPTIONS]
       scripts/run.sh --clean

Builds the bench and runs it in a working directory holding 123A.jpg and testA.bmp, where it
writes up to about 30 MB; then writes PNG views of new.bmp, test8.txt and test9.txt and prints
a table of the files and the directory with its size.

  --out DIR   work in DIR (made if missing; 123A.jpg and testA.bmp already there are kept)
              instead of a fresh folder $runs/gdibench-run-XXXXXX
  --clean     remove the fresh folders earlier runs made (those holding $marker)
  -h, --help  show this help

Without bench options: the real window when there is a display, else headless with the keys
"1 8 9 Esc" and --screenshot screenshot.png. Bench options go to the bench as they are:
EOF
  if [ -x "$root/build/gdibench" ]; then
    echo
    "$root/build/gdibench" --help
  else
    echo "see build/gdibench --help once built."
  fi
}

# Removes the folders earlier runs made, nothing without the marker.
clean() {
  local dir removed=0
  for dir in "$runs"/gdibench-run-*/; do
    [ -f "$dir$marker" ] || continue
    rm -rf "$dir"
    echo "removed ${dir%/}"
    removed=$((removed + 1))
  done
  echo "folders removed: $removed"
}

out=
args=()
while [ $# -gt 0 ]; do
  case "$1" in
    -h | --help) usage; exit 0 ;;
    --clean) clean; exit 0 ;;
    --out)
      [ $# -ge 2 ] && [ -n "$2" ] || { echo "scripts/run.sh: --out needs a folder" >&2; exit 2; }
      out=$2
      shift 2 ;;
    --) args+=("$@"); break ;;
    *) args+=("$1"); shift ;;
  esac
done

"$root/scripts/install_deps.sh" run >&2
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBENCH_TESTS=OFF -DBENCH_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target gdibench gdibench-inspect >&2
bench=$root/build/gdibench
inspect=$root/build/gdibench-inspect
if [ -n "$out" ]; then
  mkdir -p "$out"
  work=$(cd "$out" && pwd)
else
  work=$(mktemp -d "$runs/gdibench-run-XXXXXX")
  touch "$work/$marker"
fi
cp -n "$root/samples/123A.jpg" "$root/samples/testA.bmp" "$work/"
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

if [ ${#args[@]} -eq 0 ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "Keys: 0-9 choose the mode (1, 8 and 9 write files), E/R D/F T/Y G/H step the offsets, Esc or Q quits" >&2
  args=(--window)
elif [ ${#args[@]} -eq 0 ]; then
  args=(--headless --keys "1 8 9 Esc" --screenshot screenshot.png)
fi
status=0
"$bench" "${args[@]}" || status=$?
write_views
echo
print_outputs
size=$(du -sh . | cut -f1)
if [ -n "$out" ]; then
  echo "Working directory: $work ($size)"
else
  echo "Working directory: $work ($size; scripts/run.sh --clean removes it)"
fi
exit "$status"
