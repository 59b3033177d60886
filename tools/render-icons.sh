#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG; the PNGs are committed, so run
# this after changing resources/packaging/icons/norvane.svg. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
icons="$(cd "$(dirname "$0")/.." && pwd)/resources/packaging/icons"
for size in 16 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" "$icons/norvane.svg" --output "$icons/norvane-$size.png"
done
