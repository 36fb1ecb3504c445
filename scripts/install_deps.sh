#!/usr/bin/env bash
# Installs the Debian packages the bench needs: "run" for building and running it, "test" for the
# tests, the real-window test, the fuzzers and the Windows cross-build as well. Runs as root.
set -euo pipefail
run_packages=(cmake make g++ pkg-config libsdl2-dev libjpeg62-turbo-dev libpng-dev)
test_packages=(libgtest-dev dpkg-dev xvfb xdotool imagemagick libjpeg-turbo-progs clang libclang-rt-14-dev mingw-w64)

packages=("${run_packages[@]}")
[ "${1:-run}" = test ] && packages+=("${test_packages[@]}")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
