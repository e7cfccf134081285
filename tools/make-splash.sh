#!/usr/bin/env bash
# Draws the splash window's picture, src/ui/resources/splash.jpg (145 x 161): a feasible
# polygon bounded by constraint lines, the objective line through the optimal vertex, and the
# vertex marked, on the window's light-green background. Run it again after changing the
# drawing and commit the new JPEG; the build only embeds the file.
set -euo pipefail
cd "$(dirname "$0")/.."

# Debian's ImageMagick; a convert found earlier on the PATH may be something else.
CONVERT=${CONVERT:-/usr/bin/convert}
[ -x "$CONVERT" ] || CONVERT=convert
FONT=${FONT:-DejaVu-Sans}
OUT=src/ui/resources/splash.jpg

# Axes: origin (18,142), x1 to the right, x2 upwards. The feasible region is the polygon
# O-A-B-C-D; the constraint lines run past it, the objective line (dashed) touches it at C.
"$CONVERT" -size 145x161 xc:'#66FF66' \
    -stroke '#7A7A7A' -strokewidth 1 -fill none \
    -draw 'line 8,76 80,31' \
    -draw 'line 40,36 136,84' \
    -draw 'line 111,55 124.8,148' \
    -stroke none -fill '#FFFFE0' \
    -draw 'polygon 18,142 18,70 58,45 114,73 124,142' \
    -stroke '#006400' -strokewidth 2 -fill none \
    -draw 'polygon 18,142 18,70 58,45 114,73 124,142' \
    -stroke '#000000' -strokewidth 1 -fill '#000000' \
    -draw 'line 18,150 18,12' -draw 'polygon 18,6 15,14 21,14' \
    -draw 'line 10,142 134,142' -draw 'polygon 140,142 132,139 132,145' \
    -stroke '#0000C0' -strokewidth 2 -fill none \
    -draw 'stroke-dasharray 5 3 line 84,28 136,106' \
    -stroke '#0000C0' -strokewidth 1 -fill '#0000C0' \
    -draw 'line 60,112 80,99' -draw 'polygon 86,95 77,96 80,101' \
    -stroke '#000000' -strokewidth 1 -fill '#E00000' \
    -draw 'circle 114,73 118,73' \
    -stroke none -fill '#000000' -font "$FONT" -pointsize 11 \
    -draw "text 23,16 'x2'" -draw "text 126,156 'x1'" \
    -fill '#0000C0' -draw "text 76,24 'Z'" \
    -fill '#B00000' -draw "text 86,90 'min'" \
    -quality 95 -sampling-factor 1x1 -strip "$OUT"
echo "wrote $OUT"
