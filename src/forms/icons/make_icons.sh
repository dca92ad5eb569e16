#!/usr/bin/env bash
# Draws the program's pictures with ImageMagick: the application icon (a pager), the about box
# logo, the board-testing picture and the File menu icons. The PNGs are kept in the repository; run
# this again only after changing a drawing here.
set -euo pipefail
cd "$(dirname "$0")"

# Each picture is drawn on a 256 x 256 canvas and scaled down, which smooths the edges.
draw() {  # draw OUTPUT SIZE DRAW-ARGS...
    local output=$1 size=$2
    shift 2
    convert -size 256x256 xc:none "$@" -resize "${size}x${size}" -strip "PNG32:${output}"
}

pager=(
    # radio waves beside the aerial (arcs around its tip, as polylines)
    -fill none -stroke '#2e7bd6' -strokewidth 10
    -draw "fill none stroke-linecap round stroke-linejoin round polyline 172,29 175,31 178,33 181,35 183,37 186,40 187,43 189,46 190,49 191,53 192,56 192,60 192,63"
    -draw "fill none stroke-linecap round stroke-linejoin round polyline 184,4 190,7 195,10 200,14 204,19 208,24 212,29 215,35 217,40 219,47 220,53 220,59 220,65"
    # aerial and body
    -stroke none -fill '#3a4656' -draw "roundrectangle 150,56 166,110 6,6"
    -fill '#2b3442' -draw "roundrectangle 56,70 200,244 22,22"
    -fill '#3f4b5d' -draw "roundrectangle 64,78 192,236 16,16"
    # display with its two tone lines
    -fill '#a9d79b' -stroke '#1d2530' -strokewidth 4 -draw "roundrectangle 78,96 178,152 6,6"
    -stroke '#2f5b2a' -strokewidth 6 -draw "line 92,114 164,114" -draw "line 92,134 140,134"
    # buttons
    -stroke none -fill '#e0a23a' -draw "circle 100,196 100,214"
    -fill '#c9d1dc' -draw "roundrectangle 132,184 172,208 8,8"
)
draw app.png 256 "${pager[@]}"
draw logo.png 96 "${pager[@]}"
# The desktop's icon theme sizes; app.svg is the same drawing, for the scalable size.
mkdir -p hicolor
for size in 16 32 48 64 128; do
    draw "hicolor/app-${size}.png" "$size" "${pager[@]}"
done
# The Windows program's icon (Explorer, the taskbar): the same sizes in one .ico.
convert hicolor/app-16.png hicolor/app-32.png hicolor/app-48.png hicolor/app-64.png hicolor/app-128.png app.png app.ico

# The programming interface board: a board with a chip and a serial connector.
draw notice.png 61 \
    -fill '#1f7a4a' -stroke '#0f4a2b' -strokewidth 6 -draw "roundrectangle 20,40 236,216 18,18" \
    -stroke none -fill '#c9a640' -draw "roundrectangle 6,92 52,164 8,8" \
    -fill '#6b5a20' -draw "circle 22,112 22,118" -draw "circle 36,112 36,118" \
    -draw "circle 22,144 22,150" -draw "circle 36,144 36,150" \
    -fill '#1c1c1c' -draw "roundrectangle 100,84 196,172 8,8" \
    -fill '#d8d8d8' -draw "rectangle 108,70 116,84" -draw "rectangle 132,70 140,84" \
    -draw "rectangle 156,70 164,84" -draw "rectangle 180,70 188,84" \
    -draw "rectangle 108,172 116,186" -draw "rectangle 132,172 140,186" \
    -draw "rectangle 156,172 164,186" -draw "rectangle 180,172 188,186" \
    -fill '#e05a3a' -draw "circle 214,64 214,74" \
    -fill none -stroke '#c9a640' -strokewidth 5 -draw "line 52,128 100,128" -draw "line 196,128 224,128"

folder=(
    -fill '#d99a1e' -stroke '#8a5a06' -strokewidth 8
    -draw "path 'M 20,60 L 96,60 L 116,84 L 236,84 L 236,216 L 20,216 Z'"
    -fill '#f5c04a' -draw "path 'M 20,216 L 56,116 L 252,116 L 236,216 Z'"
)
draw open.png 32 "${folder[@]}"

floppy=(
    -fill '#2f6db5' -stroke '#173a63' -strokewidth 8
    -draw "path 'M 24,24 L 196,24 L 232,60 L 232,232 L 24,232 Z'"
    -stroke none -fill '#e9eef5' -draw "rectangle 64,24 176,96"
    -fill '#2f6db5' -draw "rectangle 140,36 164,84"
    -fill '#ffffff' -draw "rectangle 56,136 200,232"
    -fill '#9aa8ba' -draw "rectangle 72,160 184,168" -draw "rectangle 72,188 184,196"
)
draw save.png 32 "${floppy[@]}"
draw saveas.png 32 "${floppy[@]}" \
    -stroke '#5a3a10' -strokewidth 6 -fill '#f2b53a' \
    -draw "path 'M 240,112 L 256,128 L 152,232 L 124,240 L 132,212 Z'"

draw exit.png 32 \
    -fill '#8a5a2b' -stroke '#4f3216' -strokewidth 8 -draw "rectangle 40,20 160,236" \
    -fill '#f0d9a8' -stroke none -draw "circle 138,132 138,144" \
    -fill '#c0392b' -stroke '#7a1d14' -strokewidth 6 \
    -draw "path 'M 120,112 L 186,112 L 186,76 L 248,128 L 186,180 L 186,144 L 120,144 Z'"
