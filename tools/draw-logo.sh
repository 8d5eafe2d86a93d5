#!/usr/bin/env bash
# Draws the engine's logo for xboard's engine list, dist/karvosel.png: 100 by
# 50 pixels, the size xboard shows logos at. Needs ImageMagick and the DejaVu
# fonts (packages imagemagick, fonts-dejavu-core).
set -euo pipefail
cd "$(dirname "$0")/.."
convert -size 100x50 xc:'#1f3b2d' \
  -fill '#e8dcb5' -font DejaVu-Sans -pointsize 36 -gravity west -annotate +1+0 $'\u265e' \
  -fill '#f4efe1' -font DejaVu-Sans-Bold -pointsize 13 -gravity west -annotate +33+0 'Karvosel' \
  -depth 8 -type TrueColor -strip -define png:exclude-chunks=date,time dist/karvosel.png
