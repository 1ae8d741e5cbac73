#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
#
# Makes Numbelo's pictures in resources/images/ from the SVG drawings in
# resources/art/ and the pixel-art glyphs in make_pictures_glyphs.py:
#
#   image1.png       150 x 110, 24-bit RGB     two children (children.svg)
#   glyph_*.png      32 x 16, 16 colours       button glyphs, normal | disabled,
#                                              olive RGB(128,128,0) = transparent
#   icon32.png       32 x 32, 16 colours       program icon (numbelo.svg)
#   about_icon.png   32 x 32, up to 256 colours the same icon for the about box
#   handpnt.png      32 x 32, black/white/clear pointing-hand cursor,
#                                              hot spot at (0,0) (handpnt.svg)
#   ../windows/numbelo.ico                     the Windows program file's icon: 16, 48 and
#                                              256 px in full colour, icon32.png at 32 px
#
# resources/art/numbelo.svg itself is the scalable icon that gets installed.
# The generated files are committed; building the program never runs this.
# Needs: rsvg-convert (librsvg2-bin), python3. Run from anywhere.
#
# Reproducibility: the PNGs are written by make_pictures_png.py (standard
# library only, no time stamps), so two runs give byte-identical files.
# rsvg-convert's anti-aliasing may differ slightly between librsvg releases,
# which can move a few edge pixels of image1, the icons and the cursor.

set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
art=$root/resources/art
out=$root/resources/images

for tool in rsvg-convert python3; do
    command -v "$tool" >/dev/null || {
        echo "make_pictures.sh: $tool is missing" >&2
        exit 1
    }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

png() { python3 "$here/make_pictures_png.py" "$@"; }
render() { rsvg-convert --width "$2" --height "$3" --output "$work/$(basename "$1" .svg).png" "$art/$1"; }

mkdir -p "$out"

# The window's button-face grey shows through nowhere (the drawing has its own
# sky), but anything left uncovered lands on that colour.
render children.svg 150 110
png rgb "$work/children.png" "$out/image1.png" '#d4d0c8'

python3 "$here/make_pictures_glyphs.py" "$out"

# The 16-colour icon maps every pixel to these hand-picked colours: the
# drawing's own, plus a few in-between tones for the anti-aliased edges.
icon_palette='#6b3208,#a9581b,#f39a2e,#fde3bf,#f7a3b4,#f0737f,#d9485a,#1a1a1a,#ffffff'
icon_palette+=',#1f2b55,#0b1026,#8cf03c,#4c7f45,#7d7a78,#8e2233'
render numbelo.svg 32 32
png indexed "$work/numbelo.png" "$out/icon32.png" 16 "$icon_palette"
png indexed "$work/numbelo.png" "$out/about_icon.png" 256

# The program file's icon on Windows: the 16-colour icon where 32 pixels are shown, the
# drawing in full colour at the sizes Explorer, the Start menu and the taskbar also ask for.
for side in 16 48 256; do
  rsvg-convert --width $side --height $side --output "$work/raw$side.png" "$art/numbelo.svg"
  png rgba "$work/raw$side.png" "$work/icon$side.png"
done
png ico "$root/resources/windows/numbelo.ico" "$work/icon16.png" "$out/icon32.png" \
  "$work/icon48.png" "$work/icon256.png"

render handpnt.svg 32 32
png indexed "$work/handpnt.png" "$out/handpnt.png" 3 '#000000,#ffffff'

echo "make_pictures.sh: wrote $(find "$out" -maxdepth 1 -name '*.png' | wc -l) pictures to $out"
