#!/usr/bin/env bash
# Draws the promotion window's pictures into resources/pictures/ (8-bit RGBA
# PNGs), once for each display scale the program carries: the design set
# (100 %, NAME.png) and the sets NAME@125.png, NAME@150.png, NAME@200.png and
# NAME@300.png, each dimension the design's at that scale rounded as the
# program rounds (ui/PictureSets.h: 34 x 34 is 43 x 43 at 125 %). The PNGs
# are committed, so building the program needs none of this; run it again
# after changing a picture here and commit the results.
#
#   scripts/make-pictures.sh [--preview DIR]
#   scripts/make-pictures.sh -h|--help          (this text)
#
# --preview also writes every picture on the window's #2E2E2E at 100 % and
# 400 % into DIR, and one contact sheet of all sets (sheet.png), for a look
# before committing.
#
# A picture whose pixels come out as the committed file's is left as it is
# (ImageMagick stamps the time into the files it writes), so the committed
# design set stays byte for byte what it is; a changed or new picture is
# written. Nothing else but a temporary folder, removed at the end. Needs
# ImageMagick (magick, or convert 6), bc and optipng.
# Time, 2-core machine: 2 min (2026-12-10).
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

command -v optipng >/dev/null 2>&1 || { echo "make-pictures: optipng not found (apt-get install optipng)" >&2; exit 1; }

FONT=/usr/share/wine/fonts/tahomabd.ttf
[[ -f "$FONT" ]] || FONT=DejaVu-Sans-Bold

S=8  # supersampling factor of the shapes
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"
PERCENTS=(100 125 150 200 300)

# The scale being drawn; set per set below.
P=100
# px N: the design length N (pixels at 100 %, whole) at the scale, rounded
# half away from zero (ScaleLength in ui/PictureSets.h: N * P / 100).
px() {
    local n=$1
    if ((n < 0)); then echo $((-((-n * P + 50) / 100))); else echo $(((n * P + 50) / 100)); fi
}
# k X: the decimal X times the scale (for point sizes and radii).
k() { echo "scale=4; $1 * $P / 100" | bc; }

# Palette.
ACCENT='#FF7A1A'
RED='#E53935'
WHITE='#FFFFFF'
GREY='#B3B3B3'
SEPARATOR='#4A4A4A'

# shape OUT W H MVG: draws MVG (design coordinates, pixel edges on whole
# numbers, so a 2-pixel line at x = 10 covers columns 9 and 10) on a
# transparent canvas of the design size W x H at the scale. Each axis is
# scaled by the canvas' own ratio (px W / W), so a shape that fills the
# design canvas fills the scaled one.
shape() {
    local out=$1 w=$2 h=$3 mvg=$4
    local pw ph
    pw=$(px "$w")
    ph=$(px "$h")
    raster "$out" "$pw" "$ph" "$(echo "scale=6; $S * $pw / $w" | bc)" "$(echo "scale=6; $S * $ph / $h" | bc)" "$mvg"
}
# shape_px OUT W H MVG: as shape, but W, H and MVG are in the picture's own
# pixels (for shapes sized by the text they carry).
shape_px() { raster "$1" "$2" "$3" "$S" "$S" "$4"; }
raster() {
    local out=$1 w=$2 h=$3 sx=$4 sy=$5 mvg=$6
    "${IM[@]}" -size $((w * S))x$((h * S)) xc:none \
        -draw "affine $sx,0,0,$sy,-0.5,-0.5 $mvg" \
        -filter Box -resize "${w}x${h}!" \
        -channel A -level 3%,100% +channel PNG32:"$out"
}

# text OUT TEXT POINTSIZE COLOUR: the text's ink at the scale (POINTSIZE is
# the design's), trimmed to its bounding box. The design's small sizes come
# from the bold face's hand-tuned bitmaps; its outlines, used at the larger
# scales, are lighter, so there the ink gets a thin outline of its own
# colour (a twentieth of the size) to keep the same weight.
text() {
    local size bold=()
    size=$(k "$3")
    ((P == 100)) || bold=(-stroke "$4" -strokewidth "$(echo "scale=3; $size / 20" | bc)")
    "${IM[@]}" -background none -fill "$4" "${bold[@]}" -font "$FONT" -pointsize "$size" \
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

# centred_text BASE TEXT POINTSIZE COLOUR: the text centred on BASE on whole
# pixels (rounded towards the upper left).
centred_text() {
    local base=$1 t="$WORK/text.png"
    text "$t" "$2" "$3" "$4"
    local x=$((($(width "$base") - $(width "$t")) / 2))
    local y=$((($(height "$base") - $(height "$t")) / 2))
    over "$base" "$t" "$x" "$y"
}

# ---------------------------------------------------------------- badges
# A small red label with a white word, 16 pixels high.
badge() {
    local out=$1 w=$2 word=$3
    shape "$out" "$w" 16 "fill $RED stroke none roundrectangle 0,0 $w,16 3,3"
    centred_text "$out" "$word" 11 "$WHITE"
}

draw_badges() {
    badge "$SET/badge_pro.png" 34 PRO
    badge "$SET/badge_free.png" 51 FREE
}

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

draw_close() {
    close_face "$SET/close_normal.png" "" "$GREY"
    close_face "$SET/close_hover.png" "rgba(255,255,255,0.12)" "$WHITE"
    close_face "$SET/close_down.png" "rgba(0,0,0,0.28)" "#D9D9D9"
    close_face "$SET/close_disabled.png" "" "#5A5A5A"
}

# ---------------------------------------------------------------- buy button
# 156 x 36, drawn to be sliced with 52-pixel ends: the corners (radius 6) lie
# in the ends, and every column of the middle 52 pixels is the same, so the
# program can stretch the middle to any width. A 1-pixel rim in a deeper
# shade, a gentle top-to-bottom gradient and a light line along the top edge.
# The caption is drawn by the program.
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

draw_buy() {
    shape "$WORK/buy_outer.png" 156 36 "fill white stroke none roundrectangle 0,0 156,36 6,6"
    shape "$WORK/buy_inner.png" 156 36 "fill white stroke none roundrectangle 1,1 155,35 5,5"
    # The inner shape's top rim: inner minus inner moved down by one pixel.
    "${IM[@]}" "$WORK/buy_inner.png" \( "$WORK/buy_inner.png" -page +0+"$(px 1)" -background none -flatten \) \
        -compose DstOut -composite PNG32:"$WORK/buy_rim.png"
    buy_face "$SET/buy_normal.png" '#D9600F' '#FF8B34' '#FA6C0C' 0.30
    buy_face "$SET/buy_hover.png" '#E8741F' '#FFA458' '#FF8430' 0.35
    buy_face "$SET/buy_down.png" '#B84A08' '#D9520B' '#E55F12' 0.0
    buy_face "$SET/buy_disabled.png" '#4A4A4A' '#636363' '#555555' 0.10
}

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
    local w=$(($(width "$WORK/tag_text.png") + $(px 8))) h
    h=$(px 13)
    shape_px "$out" "$w" "$h" "fill $ACCENT stroke none roundrectangle 0,0 $w,$h $(k 3),$(k 3)"
    over "$out" "$WORK/tag_text.png" "$(px 4)" $(((h - $(height "$WORK/tag_text.png")) / 2))
}

# place_tag PICTURE WORD CX: the tag centred on CX + 6 (as far right as the
# third icon leaves room for), on rows 1 to 13, with a 2-pixel clear ring cut
# into whatever lies beneath.
place_tag() {
    local pic=$1 word=$2 cx=$3
    tag "$WORK/tag.png" "$word"
    local w h ring
    w=$(width "$WORK/tag.png")
    h=$(height "$WORK/tag.png")
    ring=$(px 2)
    local x=$(($(px $((cx + 6))) - w / 2)) y
    y=$(px 1)
    local rw=$((w + 2 * ring)) rh=$((h + 2 * ring))
    shape_px "$WORK/tag_ring.png" "$rw" "$rh" "fill white stroke none roundrectangle 0,0 $rw,$rh $(k 5),$(k 5)"
    knockout "$pic" "$WORK/tag_ring.png" $((x - ring)) $((y - ring))
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
    # Separator bars, one pixel wide at 100 %, between the tiles: whole
    # pixels at every scale, so that they stay crisp.
    local bar top bottom
    bar=$(px 1)
    top=$(px 18)
    bottom=$(($(px 55) - 1))
    "${IM[@]}" "$out" -fill "$SEPARATOR" +antialias \
        -draw "rectangle $(px 103),$top $(($(px 103) + bar - 1)),$bottom" \
        -draw "rectangle $(px 261),$top $(($(px 261) + bar - 1)),$bottom" PNG32:"$out"
}

draw_features() {
    features "$SET/features.png" FREE
    features "$SET/features_nl.png" SALE
}

# ---------------------------------------------------------------- the sets
# Each set is drawn into a folder of its own, then every picture is put in
# place under its set's name unless the committed file already has its
# pixels.
for P in "${PERCENTS[@]}"; do
    SET="$WORK/set$P"
    mkdir -p "$SET"
    draw_badges
    draw_close
    draw_buy
    draw_features
    for f in "$SET"/*.png; do
        name=$(basename "$f" .png)
        dest="$OUT/$name.png"
        [[ $P == 100 ]] || dest="$OUT/$name@$P.png"
        if [[ -f "$dest" ]] && [[ $("${IM[@]}" "$dest" -format %wx%h info:) == $("${IM[@]}" "$f" -format %wx%h info:) ]] &&
            [[ $(compare -metric AE "$dest" "$f" null: 2>&1 || true) == 0 ]]; then
            continue
        fi
        # New pictures carry no chunk but their pixels (so drawing them again
        # gives the same bytes), compressed as tightly as optipng can: every
        # set is embedded in the program.
        "${IM[@]}" "$f" -define png:exclude-chunks=all PNG32:"$dest"
        optipng -quiet -o5 -strip all "$dest"
        echo "make-pictures: wrote $(basename "$dest")"
    done
done

# ---------------------------------------------------------------- preview
if [[ -n "$PREVIEW" ]]; then
    for f in "$OUT"/*.png; do
        name=$(basename "$f" .png)
        "${IM[@]}" "$f" -background '#2E2E2E' -flatten PNG24:"$PREVIEW/$name.png"
        "${IM[@]}" "$f" -background '#2E2E2E' -flatten -filter Point -resize 400% \
            PNG24:"$PREVIEW/${name}_400.png"
    done
    # One row per picture, one column per set, on the window's colour.
    rows=()
    for f in "$OUT"/*.png; do
        [[ $f == *@* ]] && continue
        name=$(basename "$f" .png)
        row=("$f")
        for P in "${PERCENTS[@]:1}"; do row+=("$OUT/$name@$P.png"); done
        "${IM[@]}" -background '#2E2E2E' "${row[@]}" -gravity north +smush 12 -flatten "$WORK/row_$name.png"
        rows+=("$WORK/row_$name.png")
    done
    "${IM[@]}" -background '#2E2E2E' "${rows[@]}" -gravity west -append -bordercolor '#2E2E2E' \
        -border 12 PNG24:"$PREVIEW/sheet.png"
fi

for f in "$OUT"/*.png; do
    "${IM[@]}" "$f" -format "%f %wx%h %[channels]\n" info:
done
