#!/bin/sh
# Makes the pictures of the manual (help/images/*.png) from the running
# program under a virtual X display. Run by hand after changing a window:
#     scripts/help-shots.sh [BUILD_DIR]
# then rebuild, look at the pictures and commit them.
set -eu
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
out=$here/help/images
cmake --build "$build" --target helpshots qmtool
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
# A small address label on a common template, for the main window.
cat > "$tmp/sample.json" <<'JSON'
{
  "layout": {"template": "Avery 5160 Address"},
  "objects": [
    {"class": "TGMultiLineLabel", "properties": {"Left": 70, "Top": 14, "Width": 170, "Height": 62,
      "Items.Strings": ["Jane Smith", "12 Harbour Road", "Bayview, CA 94000"], "Font.Size": 11}},
    {"class": "TGLabelShapes", "properties": {"Left": 10, "Top": 16, "Width": 50, "Height": 50,
      "Shape": "stEllipse", "Brush.Color": 14120960, "Pen.Width": 2}},
    {"class": "TGCounterLabel", "properties": {"Left": 190, "Top": 72, "TextBefore": "No. ",
      "Startingnumber": 1, "LeadingZeros": 3, "Font.Size": 8}}
  ]
}
JSON
sample=""
if "$build/bin/qmtool" build "$tmp/sample.json" "$tmp/sample.qm"; then
    sample="$tmp/sample.qm"
fi
QT_FONT_DPI=96 XDG_RUNTIME_DIR="$tmp" XDG_CACHE_HOME="$tmp/cache" QM_HELPSHOTS_TOPICS="${QM_HELPSHOTS_TOPICS:-}" xvfb-run -a -s '-screen 0 1280x1024x24' \
    "$build/bin/helpshots" "$tmp/shots" $sample
for f in "$tmp"/shots/*.png; do
    case $(basename "$f") in
    help-[0-9]*)
        # Pages asked for with QM_HELPSHOTS_TOPICS, for looking at only.
        mkdir -p "$build/help-check"
        cp "$f" "$build/help-check/" ;;
    *)
        # Indexed colour keeps the pictures at a few dozen kilobytes.
        convert "$f" -colors 128 -strip "PNG8:$out/$(basename "$f")" ;;
    esac
done
ls -l "$out"
