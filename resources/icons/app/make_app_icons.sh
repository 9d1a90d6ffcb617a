#!/usr/bin/env bash
# Renders the application icon's PNG sizes from tallyglass.svg (needs rsvg-convert, Debian
# librsvg2-bin). Run it from this folder after changing the SVG; the PNGs are kept in git so the
# build needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" tallyglass.svg -o "tallyglass-$size.png"
done
