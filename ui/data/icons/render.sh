#!/usr/bin/env bash
# Renders the PNG icons from the SVG sources (needs rsvg-convert, Debian's
# librsvg2-bin). 16 px comes from its own pixel-aligned drawing; the larger
# sizes from phonolith.svg. The PNGs are kept in the repository, so a build
# needs no SVG renderer.
set -euo pipefail
cd "$(dirname "$0")"
rsvg-convert -w 16 -h 16 phonolith-16.svg -o phonolith-16.png
for n in 32 48 64 128 256; do
  rsvg-convert -w "$n" -h "$n" phonolith.svg -o "phonolith-$n.png"
done
