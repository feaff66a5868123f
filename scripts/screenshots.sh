#!/bin/sh
# Pictures of every main window state, menu and dialog, at scale 1, 1.5
# and 2, in the light and a dark palette (and at a 14-point interface font), as
# PNG files below the folder given.
#   scripts/screenshots.sh OUTDIR [BUILDDIR]
set -eu
out=${1:?usage: scripts/screenshots.sh OUTDIR [BUILDDIR]}
here=$(cd "$(dirname "$0")/.." && pwd)
build=${2:-$here/build}
shots=$build/bin/look_shots
[ -x "$shots" ] || { echo "screenshots: build the look_shots target first ($shots)" >&2; exit 1; }
case $out in
    "$here"|"$here"/*) echo "screenshots: give a folder outside the source tree" >&2; exit 1 ;;
esac
mkdir -p "$out"
status=0
for scale in 1 1.5 2; do
    for palette in light dark; do
        dir=$out/scale$scale-$palette
        flag=
        [ $palette = dark ] && flag=--dark
        QT_SCALE_FACTOR=$scale QT_FONT_DPI=96 xvfb-run -a -s "-screen 0 1600x1000x24" \
            "$shots" "$dir" $flag >/dev/null || status=1
        echo "$dir: $(ls "$dir" | wc -l) pictures"
    done
done
dir=$out/scale1-light-14pt
QT_FONT_DPI=96 xvfb-run -a -s "-screen 0 1600x1000x24" "$shots" "$dir" --font 14 >/dev/null || status=1
echo "$dir: $(ls "$dir" | wc -l) pictures"
exit $status
