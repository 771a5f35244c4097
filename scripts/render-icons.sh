#!/usr/bin/env bash
# Renders the PNG sizes of the program icon from its SVG (needs rsvg-convert, Debian package
# librsvg2-bin). Run after changing resources/desktop/icons/vocalia.svg; the PNGs are committed.
set -euo pipefail
icons=$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources/desktop/icons" && pwd)
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$icons/vocalia.svg" -o "$icons/vocalia-$size.png"
done
