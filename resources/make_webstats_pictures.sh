#!/bin/sh
# Draws the three pictures of the WebStats page with ImageMagick: the download and upload bars
# (3 x 1, lit from the left; the page stretches them to the bar heights) and the chart
# background (288 x 260, a guide line at every tenth of the height, stronger at the half).
# Run it from anywhere; it writes into gfx/ beside it.
set -eu
cd "$(dirname "$0")/gfx"

bar() {
    convert -size 1x1 "xc:$2" "xc:$3" "xc:$4" +append -strip "$1"
}
bar d.gif '#69DB7C' '#2B8A3E' '#1B5E2A'
bar u.gif '#FFA94D' '#E8590C' '#A93A06'

lines=""
y=26
while [ "$y" -lt 260 ]; do
    lines="$lines line 0,$y 287,$y"
    y=$((y + 26))
done
convert -size 288x260 'xc:#FBFAF3' -stroke '#E6E1CC' -draw "$lines" \
    -stroke '#CFC8AA' -draw 'line 0,130 287,130' -strip tallyglassbg.gif
