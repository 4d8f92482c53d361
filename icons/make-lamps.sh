#!/usr/bin/env bash
# Draws the two 16x16 status lamps (redlight.bmp, greenlight.bmp) with
# ImageMagick: a lit disc with a dark rim and a small highlight, on the
# status bar's grey. Run once; the .bmp files are kept in git.
set -euo pipefail
cd "$(dirname "$0")"
lamp() { # name, lit colour, rim colour
  /usr/bin/convert -size 16x16 xc:'#efefef' \
    -fill "$3" -draw 'circle 7.5,7.5 7.5,0.5' \
    -fill "$2" -draw 'circle 7.5,7.5 7.5,1.8' \
    -fill 'rgba(255,255,255,0.75)' -draw 'circle 5.5,5 5.5,3.4' \
    -type TrueColor BMP3:"$1.bmp"
}
lamp redlight '#e02020' '#6a0000'
lamp greenlight '#20d020' '#005a00'
