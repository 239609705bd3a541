#!/usr/bin/env bash
# Renders the icon's PNG sizes from its SVG (needs rsvg-convert, Debian's
# librsvg2-bin). Run after changing data/icons/quenmar.svg; commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../data/icons"
for size in 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" quenmar.svg -o "hicolor/${size}x${size}/quenmar.png"
done
