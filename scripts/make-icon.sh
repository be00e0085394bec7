#!/usr/bin/env bash
# Draws the program icon (assets/icons/plotmason-app-icon.png) with ImageMagick:
# a chart card with two axes, a smooth curve and the digitized points on it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
convert -size 256x256 xc:none \
    -fill '#1565c0' -draw 'roundrectangle 8,8 248,248 44,44' \
    -fill '#ffffff' -draw 'roundrectangle 32,32 224,224 18,18' \
    -stroke '#1976d2' -strokewidth 8 -draw 'line 60,200 206,200' \
    -stroke '#2e7d32' -strokewidth 8 -draw 'line 60,200 60,54' \
    -stroke '#d32f2f' -strokewidth 7 -fill none -draw 'path "M 68,186 C 100,120 130,96 200,70"' \
    -stroke '#ffffff' -strokewidth 3 -fill '#d32f2f' \
    -draw 'circle 80,163 80,152' -draw 'circle 120,118 120,107' -draw 'circle 164,88 164,77' \
    -draw 'circle 198,71 198,60' \
    -strip "PNG32:$root/assets/icons/plotmason-app-icon.png"
