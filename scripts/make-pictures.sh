#!/usr/bin/env bash
# Draws the promotion window's pictures into resources/pictures/ (8-bit RGBA
# PNGs). The PNGs are committed, so building the program needs none of this;
# run it again after changing a picture here and commit the results.
#
#   scripts/make-pictures.sh [--preview DIR]
#   scripts/make-pictures.sh -h|--help          (this text)
#
# --preview also writes every picture on the window's #2E2E2E at 100 % and
# 400 % into DIR for a look before committing.
#
# Rewrites every PNG in resources/pictures/ (tracked files: see git status
# afterwards); nothing else but a temporary folder, removed at the end. Needs
# ImageMagick (magick, or convert 6).
# Time, 2-core machine: 6 s (2026-12-10).
if [ "${1:-}" = -h ] || [ "${1:-}" = --help ]; then
  awk 'NR == 1 && /^#!/ { next } /^#/ { sub(/^# ?/, ""); print; next } { exit }' "$0"
  exit 0
fi

# Shapes are drawn eight times larger and reduced with a box filter (exact
# area coverage, so edges are clean antialiased alpha without halos); small
# text is drawn at its final size with the font's hinting and placed on whole
# pixels, which keeps it sharp.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="$ROOT/resources/pictures"
PREVIEW=""
if [[ "${1:-}" == "--preview" ]]; then
    PREVIEW=${2:?"--preview needs a folder"}
    mkdir -p "$PREVIEW"
fi

if command -v magick >/dev/null 2>&1; then
    IM=(magick)
elif [[ -x /usr/bin/convert ]]; then
    IM=(/usr/bin/convert)
else
    echo "make-pictures: ImageMagick not found" >&2
    exit 1
fi

FONT=/usr/share/wine/fonts/tahomabd.ttf
[[ -f "$FONT" ]] || FONT=DejaVu-Sans-Bold

S=8  # supersampling factor of the shapes
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"

# Palette.
ACCENT='#FF7A1A'
RED='#E53935'
WHITE='#FFFFFF'
GREY='#B3B3B3'
SEPARATOR='#4A4A4A'

# shape OUT W H MVG: draws MVG (coordinates in final pixels, pixel edges on
# whole numbers, so a 2-pixel line at x = 10 covers columns 9 and 10) on a
# transparent W x H canvas.
shape() {
    local out=$1 w=$2 h=$3 mvg=$4
    "${IM[@]}" -size $((w * S))x$((h * S)) xc:none \
        -draw "affine $S,0,0,$S,-0.5,-0.5 $mvg" \
        -filter Box -resize "${w}x${h}!" \
        -channel A -level 3%,100% +channel PNG32:"$out"
}

# text OUT TEXT POINTSIZE COLOUR: the text's ink, trimmed to its bounding box.
text() {
    "${IM[@]}" -background none -fill "$4" -font "$FONT" -pointsize "$3" \
        label:"$2" -trim +repage PNG32:"$1"
}

width() { "${IM[@]}" "$1" -format %w info:; }
height() { "${IM[@]}" "$1" -format %h info:; }

# over BASE LAYER X Y: composites LAYER onto BASE (in place) at X, Y.
over() {
    "${IM[@]}" "$1" "$2" -geometry "+$3+$4" -compose Over -composite PNG32:"$1"
}

# knockout BASE MASK X Y: clears BASE wherever MASK (placed at X, Y) is opaque.
knockout() {
    "${IM[@]}" "$1" "$2" -geometry "+$3+$4" -compose DstOut -composite PNG32:"$1"
}

# masked OUT FILL MASK: FILL (an image or a "gradient:..." of MASK's size)
# shaped by MASK's alpha.
masked() {
    local out=$1 fill=$2 mask=$3
    local w h
    w=$(width "$mask")
    h=$(height "$mask")
    "${IM[@]}" -size "${w}x${h}" "$fill" \( "$mask" -alpha extract \) \
        -alpha off -compose CopyOpacity -composite PNG32:"$out"
}

# scale_alpha FILE FACTOR: multiplies FILE's alpha by FACTOR.
scale_alpha() {
    "${IM[@]}" "$1" -channel A -evaluate multiply "$2" +channel PNG32:"$1"
}

# centred_text BASE TEXT POINTSIZE COLOUR [DX] [DY]: the text centred on BASE
# on whole pixels (rounded towards the upper left), nudged by DX, DY.
centred_text() {
    local base=$1 t="$WORK/text.png"
    text "$t" "$2" "$3" "$4"
    local x=$((($(width "$base") - $(width "$t")) / 2 + ${5:-0}))
    local y=$((($(height "$base") - $(height "$t")) / 2 + ${6:-0}))
    over "$base" "$t" "$x" "$y"
}

# ---------------------------------------------------------------- badges
# A small red label with a white word, 16 pixels high.
badge() {
    local out=$1 w=$2 word=$3
    shape "$out" "$w" 16 "fill $RED stroke none roundrectangle 0,0 $w,16 3,3"
    centred_text "$out" "$word" 11 "$WHITE"
}

badge "$OUT/badge_pro.png" 34 PRO
badge "$OUT/badge_free.png" 51 FREE

# ---------------------------------------------------------------- close button
# A thin 10 x 10 cross in the middle of 34 x 34; hover lifts it to white on a
# faint light disc, pressed sinks it into a faint dark disc.
close_face() {
    local out=$1 disc=$2 cross=$3
    local mvg=""
    [[ -n "$disc" ]] && mvg+="fill $disc stroke none circle 17,17 17,3 "
    mvg+="fill none stroke $cross stroke-width 1.6 stroke-linecap round "
    mvg+="line 12,12 22,22 line 22,12 12,22"
    shape "$out" 34 34 "$mvg"
}

close_face "$OUT/close_normal.png" "" "$GREY"
close_face "$OUT/close_hover.png" "rgba(255,255,255,0.12)" "$WHITE"
close_face "$OUT/close_down.png" "rgba(0,0,0,0.28)" "#D9D9D9"
close_face "$OUT/close_disabled.png" "" "#5A5A5A"

# ---------------------------------------------------------------- buy button
# 156 x 36, drawn to be sliced with 52-pixel ends: the corners (radius 6) lie
# in the ends, and every column of the middle 52 pixels is the same, so the
# program can stretch the middle to any width. A 1-pixel rim in a deeper
# shade, a gentle top-to-bottom gradient and a light line along the top edge.
# The caption is drawn by the program.
shape "$WORK/buy_outer.png" 156 36 "fill white stroke none roundrectangle 0,0 156,36 6,6"
shape "$WORK/buy_inner.png" 156 36 "fill white stroke none roundrectangle 1,1 155,35 5,5"
# The inner shape's top rim: inner minus inner moved down by one pixel.
"${IM[@]}" "$WORK/buy_inner.png" \( "$WORK/buy_inner.png" -page +0+1 -background none -flatten \) \
    -compose DstOut -composite PNG32:"$WORK/buy_rim.png"

buy_face() {
    local out=$1 rim=$2 top=$3 bottom=$4 shine=$5
    masked "$WORK/rim.png" "xc:$rim" "$WORK/buy_outer.png"
    masked "$WORK/body.png" "gradient:$top-$bottom" "$WORK/buy_inner.png"
    masked "$WORK/shine.png" "xc:white" "$WORK/buy_rim.png"
    scale_alpha "$WORK/shine.png" "$shine"
    cp "$WORK/rim.png" "$out"
    over "$out" "$WORK/body.png" 0 0
    over "$out" "$WORK/shine.png" 0 0
}

buy_face "$OUT/buy_normal.png" '#D9600F' '#FF8B34' '#FA6C0C' 0.30
buy_face "$OUT/buy_hover.png" '#E8741F' '#FFA458' '#FF8430' 0.35
buy_face "$OUT/buy_down.png" '#B84A08' '#D9520B' '#E55F12' 0.0
buy_face "$OUT/buy_disabled.png" '#4A4A4A' '#636363' '#555555' 0.10

# ---------------------------------------------------------------- feature picture
# 364 x 93 with three line icons centred at x = 25, 182 and 341, an orange tag
# over each icon's top right corner, and two separator bars between the
# tiles. Everything stays in the top 63 pixels: the window draws the tile
# headings over the picture from there down.
FW=364
FH=93
ICON="fill none stroke $WHITE stroke-width 2 stroke-linecap round stroke-linejoin round"
DETAIL="fill none stroke $GREY stroke-width 2 stroke-linecap round stroke-linejoin round"

# Database: a cylinder of three discs, 32 x 36 (rows 17 to 56).
database() {
    local cx=$1 l=$(($1 - 15)) r=$(($1 + 15))
    echo "$ICON ellipse $cx,23 15,5 0,360" \
        "line $l,23 $l,50 line $r,23 $r,50 ellipse $cx,50 15,5 0,180" \
        "$DETAIL ellipse $cx,32 15,5 0,180 ellipse $cx,41 15,5 0,180"
}

# Cloud: a rounded base with two puffs (rows 20 to 53), as a filled shape
# grown (or shrunk, for a negative value) by GROW pixels.
cloud_fill() {
    local cx=$1 g=$2
    echo "roundrectangle $(echo "$cx - 19 - $g" | bc),$(echo "35 - $g" | bc)" \
        "$(echo "$cx + 19 + $g" | bc),$(echo "53 + $g" | bc) $(echo "9 + $g" | bc),$(echo "9 + $g" | bc)" \
        "circle $((cx - 3)),33 $((cx - 3)),$(echo "21 - $g" | bc)" \
        "circle $((cx + 10)),38 $((cx + 10)),$(echo "31 - $g" | bc)"
}

offline_icon() {
    local out=$1 cx=$2
    # Outline = the shape grown by one pixel minus the shape shrunk by one.
    shape "$WORK/cloud_outer.png" $FW $FH "fill $WHITE stroke none $(cloud_fill "$cx" 1)"
    shape "$WORK/cloud_inner.png" $FW $FH "fill $WHITE stroke none $(cloud_fill "$cx" -1)"
    "${IM[@]}" "$WORK/cloud_outer.png" "$WORK/cloud_inner.png" -compose DstOut -composite \
        PNG32:"$out"
    # The crossed connection: a slash through the cloud with a clear gap
    # either side of it.
    local a="$((cx - 16)),56 $((cx + 16)),19"
    shape "$WORK/slash_gap.png" $FW $FH "fill none stroke white stroke-width 6 stroke-linecap round line $a"
    knockout "$out" "$WORK/slash_gap.png" 0 0
    shape "$WORK/slash.png" $FW $FH "$ICON line $a"
    over "$out" "$WORK/slash.png" 0 0
}

# Crown: three points with round tips over a band (rows 17 to 54).
crown() {
    local cx=$1
    echo "$ICON polygon $((cx - 15)),47 $((cx - 17)),26 $((cx - 8)),36 $cx,21" \
        "$((cx + 8)),36 $((cx + 17)),26 $((cx + 15)),47" \
        "fill $WHITE stroke none circle $((cx - 17)),25 $((cx - 17)),22.5" \
        "circle $cx,20 $cx,17.5 circle $((cx + 17)),25 $((cx + 17)),22.5" \
        "$DETAIL line $((cx - 14)),53 $((cx + 14)),53"
}

# tag OUT WORD: an orange pill 13 pixels high with the word in white.
tag() {
    local out=$1 word=$2
    text "$WORK/tag_text.png" "$word" 9 "$WHITE"
    local w=$(($(width "$WORK/tag_text.png") + 8))
    shape "$out" "$w" 13 "fill $ACCENT stroke none roundrectangle 0,0 $w,13 3,3"
    over "$out" "$WORK/tag_text.png" 4 $(((13 - $(height "$WORK/tag_text.png")) / 2))
}

# place_tag PICTURE WORD CX: the tag centred on CX + 6 (as far right as the
# third icon leaves room for), on rows 1 to 13, with a 2-pixel clear ring cut
# into whatever lies beneath.
place_tag() {
    local pic=$1 word=$2 cx=$3
    tag "$WORK/tag.png" "$word"
    local w
    w=$(width "$WORK/tag.png")
    local x=$((cx + 6 - w / 2)) y=1
    shape "$WORK/tag_ring.png" $((w + 4)) 17 "fill white stroke none roundrectangle 0,0 $((w + 4)),17 5,5"
    knockout "$pic" "$WORK/tag_ring.png" $((x - 2)) $((y - 2))
    over "$pic" "$WORK/tag.png" "$x" "$y"
}

features() {
    local out=$1 third_word=$2
    shape "$out" $FW $FH "$(database 25) $(crown 341)"
    offline_icon "$WORK/offline.png" 182
    over "$out" "$WORK/offline.png" 0 0
    place_tag "$out" "+50%" 25
    place_tag "$out" "NEW" 182
    place_tag "$out" "$third_word" 341
    # Separator bars, one pixel wide, between the tiles.
    "${IM[@]}" "$out" -fill "$SEPARATOR" +antialias -draw "rectangle 103,18 103,54" \
        -draw "rectangle 261,18 261,54" PNG32:"$out"
}

features "$OUT/features.png" FREE
features "$OUT/features_nl.png" SALE

# ---------------------------------------------------------------- preview
if [[ -n "$PREVIEW" ]]; then
    for f in "$OUT"/*.png; do
        name=$(basename "$f" .png)
        "${IM[@]}" "$f" -background '#2E2E2E' -flatten PNG24:"$PREVIEW/$name.png"
        "${IM[@]}" "$f" -background '#2E2E2E' -flatten -filter Point -resize 400% \
            PNG24:"$PREVIEW/${name}_400.png"
    done
fi

for f in "$OUT"/*.png; do
    "${IM[@]}" "$f" -format "%f %wx%h %[channels]\n" info:
done
