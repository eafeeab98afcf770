#!/bin/bash
# Draws the pictures shown inside the windows (time-service badge, weather-data credit badge,
# the maker's logo) and the PNG sizes of the program icon. Needs ImageMagick and rsvg-convert; run from anywhere.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
convert=/usr/bin/convert
"$convert" -size 36x40 xc:'#1f3f66' -fill white -font DejaVu-Sans-Bold -pointsize 10 -gravity center \
    -annotate +0-6 'ITS' -fill '#f5b800' -draw 'rectangle 6,27 30,30' -strip "$here/its_badge.png"
"$convert" -size 80x41 xc:'#e8f1fa' -fill '#1f3f66' -draw 'roundrectangle 0,0 79,40 6,6' -fill white \
    -font DejaVu-Sans-Bold -pointsize 13 -gravity center -annotate +0-6 'NWS' -pointsize 8 \
    -annotate +0+11 'weather data' -strip "$here/credit_badge.png"
"$convert" -size 96x48 xc:white -fill '#3b6ea5' -draw 'roundrectangle 0,0 95,47 8,8' -fill white \
    -font DejaVu-Sans-Bold -pointsize 15 -gravity center -annotate +0+0 'Orlentis' -strip "$here/orlentis_logo.png"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" "$here/../icons/tolvane.svg" | "$convert" png:- -strip \
        "$here/../icons/tolvane-$size.png"
done
