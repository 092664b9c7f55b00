#!/usr/bin/env bash
# Renders the application icon's PNG sizes from its SVG into hicolor/<size>x<size>/.
# Run after changing the SVG and commit the PNGs; the build only installs them.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256 512; do
  mkdir -p "hicolor/${size}x${size}"
  rsvg-convert --width "$size" --height "$size" io.github.velnor.Velnor.svg \
    --output "hicolor/${size}x${size}/io.github.velnor.Velnor.png"
done
