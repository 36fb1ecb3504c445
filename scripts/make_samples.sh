#!/usr/bin/env bash
# Regenerates the bundled sample images with ImageMagick. They are our own synthetic pictures:
#   samples/123A.jpg  1280 x 1024 photograph-like plasma fractal, baseline JPEG, 4:2:0
#   samples/testA.bmp 400 x 300 plasma fractal, 24-bit bottom-up BMP with a 40-byte header
set -euo pipefail
cd "$(dirname "$0")/../samples"
convert -size 1280x1024 -seed 1234 plasma:fractal -blur 0x1.5 -sampling-factor 2x2 -quality 92 \
  -strip 123A.jpg
convert -size 400x300 -seed 4321 plasma:fractal -blur 0x1 -type TrueColor -strip BMP3:testA.bmp
