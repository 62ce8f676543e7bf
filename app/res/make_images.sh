#!/usr/bin/env bash
# Draws the program's bitmaps and icons into OUT_DIR with ImageMagick.
# Command buttons: 48x48 24-bit on red (the see-through colour); player buttons: 14x14
# 16 colours on white; mute: 16x16 16 colours on black; icons: 16x16 (and 32x32 for 128).
set -euo pipefail
out=${1:?output dir}
mkdir -p "$out"
cd "$out"
big() {  # name, draw commands...
  local name=$1; shift
  convert -size 48x48 xc:'#ff0000' "$@" -type TrueColor BMP3:"$name.bmp"
}
small() {  # name, background, size, draw commands...
  local name=$1 bg=$2 size=$3; shift 3
  convert -size "$size" xc:"$bg" "$@" -colors 16 -type Palette BMP3:"$name.bmp"
}
icon() {  # name, draw commands for a 32x32 picture on transparent
  local name=$1; shift
  convert -size 32x32 xc:none "$@" -define icon:auto-resize=32,16 "$name.ico"
}
icon16() {
  local name=$1; shift
  convert -size 32x32 xc:none "$@" -resize 16x16 "$name.ico"
}
# Add files: a sheet with a green plus
big add_files -fill white -stroke '#404040' -draw 'rectangle 10,6 34,40' \
  -fill '#20a020' -stroke none -draw 'rectangle 28,22 34,42' -draw 'rectangle 21,29 41,35'
# Batch: three stacked sheets with an arrow
big batch -fill white -stroke '#404040' -draw 'rectangle 6,4 26,26' -draw 'rectangle 11,10 31,32' \
  -draw 'rectangle 16,16 36,38' -fill '#2060d0' -stroke none -draw 'polygon 30,40 44,40 44,34 47,42 44,46 44,44 30,44'
# Merge: two sheets joining into one
big merge -fill white -stroke '#404040' -draw 'rectangle 4,6 18,22' -draw 'rectangle 4,26 18,42' \
  -draw 'rectangle 30,14 44,34' -stroke '#d07010' -strokewidth 3 -draw 'line 18,14 30,24' -draw 'line 18,34 30,24'
# Cut: a waveform with two markers
big cut -fill white -stroke '#404040' -draw 'rectangle 3,12 45,36' -stroke '#2060d0' -strokewidth 2 \
  -draw 'polyline 5,24 10,16 15,30 20,18 25,32 30,20 35,28 40,22 44,24' \
  -stroke '#d01010' -draw 'line 14,8 14,40' -draw 'line 34,8 34,40'
# Help: a blue disc with a question mark
big help -fill '#2060d0' -stroke none -draw 'circle 24,24 24,4' -fill white -stroke white -strokewidth 4 \
  -draw 'arc 16,10 32,26 180,90' -draw 'line 24,26 24,31' -draw 'rectangle 22,35 26,39'
small play white 14x14 -fill '#106010' -draw 'polygon 3,2 12,7 3,12'
small stop white 14x14 -fill '#601010' -stroke '#a04040' -draw 'rectangle 3,3 10,10'
small pause white 14x14 -fill '#101060' -stroke '#4040a0' -draw 'rectangle 3,2 5,11' -draw 'rectangle 8,2 10,11'
small mute black 16x16 -fill '#c0c0c0' -draw 'polygon 2,6 5,6 9,2 9,13 5,9 2,9' -stroke '#ff4040' -draw 'line 10,5 14,11' -draw 'line 14,5 10,11'
icon main -fill '#2060d0' -draw 'circle 16,16 16,1' -fill white -draw 'ellipse 12,22 5,4 0,360' \
  -draw 'rectangle 15,6 17,22' -draw 'polygon 17,6 25,10 17,12'
icon16 menu_batch -fill white -stroke black -strokewidth 2 -draw 'rectangle 4,4 20,20' -draw 'rectangle 12,12 28,28'
icon16 menu_cut -stroke '#d01010' -strokewidth 3 -draw 'line 6,4 26,28' -draw 'line 26,4 6,28'
icon16 menu_merge -stroke '#d07010' -strokewidth 4 -draw 'line 4,6 16,16' -draw 'line 4,26 16,16' -draw 'line 16,16 28,16'
icon16 menu_info -fill '#2060d0' -draw 'circle 16,16 16,2' -fill white -draw 'rectangle 14,13 18,26' -draw 'rectangle 14,6 18,10'
icon16 menu_add -fill '#20a020' -draw 'rectangle 12,2 20,30' -draw 'rectangle 2,12 30,20'
icon16 menu_delete -fill '#d01010' -draw 'rectangle 2,12 30,20'
icon16 menu_clear -fill white -stroke black -strokewidth 2 -draw 'rectangle 6,4 26,28' -stroke '#d01010' -draw 'line 6,4 26,28'
icon16 menu_about -fill '#20a020' -draw 'circle 16,16 16,2' -fill white -draw 'rectangle 14,13 18,26' -draw 'rectangle 14,6 18,10'
