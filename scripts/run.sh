#!/usr/bin/env bash
# Installs what the bench needs, builds it, and runs it in a fresh working directory holding the
# bundled sample images. Arguments go to the bench (see gdibench --help).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install_deps.sh" run >&2
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release -DBENCH_TESTS=OFF -DBENCH_BENCHMARKS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" --target gdibench >&2
work=$(mktemp -d "${TMPDIR:-/tmp}/gdibench-run-XXXXXX")
cp "$root/samples/123A.jpg" "$root/samples/testA.bmp" "$work/"
echo "Working directory: $work" >&2
cd "$work"
exec "$root/build/gdibench" "$@"
