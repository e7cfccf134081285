#!/usr/bin/env bash
# Renders the program's icon, packaging/icons/kvado.svg, into the PNG sizes a desktop looks
# for (packaging/icons/kvado-<size>.png). Run it again after changing the drawing and commit
# the new PNGs; the build only installs the files. Needs rsvg-convert (librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" kvado.svg -o "kvado-$size.png"
done
