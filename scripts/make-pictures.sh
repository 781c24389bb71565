#!/bin/sh
# Regenerates the program's pictures in resources/ from the Noto Music font:
# the treble clef (a 1-bit bitmap, 349 x 590), the bass clef, the sharp, the
# flat, the natural and the brace of the grand staff (grey levels, cropped to their ink),
# the quarter rest (7 x 29) and the 64 x 64 icon. The build uses the
# committed PNGs; this script is only needed to make them again. It installs
# the font and ImageMagick when they are missing (Debian).
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/resources"
font=/usr/share/fonts/truetype/noto/NotoMusic-Regular.ttf
convert=/usr/bin/convert

if [ ! -f "$font" ] || [ ! -x "$convert" ]; then
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y --no-install-recommends fonts-noto-core imagemagick
fi

# One glyph of the font, cropped to its ink.
glyph() {
    "$convert" -background "$2" -fill black -font "$font" -pointsize 800 label:"$(printf "$1")" -trim +repage "$3"
}

clef='\360\235\204\236'        # U+1D11E MUSICAL SYMBOL G CLEF
quarter_rest='\360\235\204\275' # U+1D13D MUSICAL SYMBOL QUARTER REST
bass_clef='\360\235\204\242'    # U+1D122 MUSICAL SYMBOL F CLEF
brace='\360\235\204\224'        # U+1D114 MUSICAL SYMBOL BRACE
sharp='\342\231\257'             # U+266F MUSIC SHARP SIGN
flat='\342\231\255'              # U+266D MUSIC FLAT SIGN
natural='\342\231\256'           # U+266E MUSIC NATURAL SIGN

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

glyph "$clef" white "$tmp/clef.png"
# A single black figure on white, ten pixels of margin, one bit per pixel.
"$convert" "$tmp/clef.png" -resize 329x570 -gravity center -background white -extent 349x590 \
    -threshold 50% -type bilevel -define png:bit-depth=1 -define png:color-type=0 \
    -strip "$out/keysol.png"

glyph "$quarter_rest" white "$tmp/rest.png"
# The picture is narrower than the sign: squeeze it into 7 pixels, one pixel
# of margin above and below.
"$convert" "$tmp/rest.png" -resize '7x27!' -gravity center -background white -extent 7x29 \
    -colorspace Gray -depth 8 -strip "$out/quarter_rest.png"

# The signs drawn at many sizes keep their grey edges, so that they stay
# smooth when scaled; the staff places them by their ink.
for sign in bass_clef brace sharp flat natural; do
    eval code=\$$sign
    glyph "$code" white "$tmp/$sign.png"
    "$convert" "$tmp/$sign.png" -colorspace Gray -depth 8 -strip "$out/$sign.png"
done

glyph "$clef" none "$tmp/icon.png"
"$convert" "$tmp/icon.png" -resize 60x60 -gravity center -background none -extent 64x64 \
    -strip "$out/zintaro.png"

echo "pictures written to $out"
