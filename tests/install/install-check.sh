#!/bin/sh
# Installs the build into a temporary prefix and checks what a desktop
# sees of it: the application entry, the AppStream data, the icons, the
# label file type, and the installed program finding its data there.
#     install-check.sh BUILD_DIR
set -eu
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }

app=io.github.quillmark.Quillmark
desktop-file-validate "$prefix/share/applications/$app.desktop" | grep -v '^.*: hint: ' || true
desktop-file-validate "$prefix/share/applications/$app.desktop" | grep -q ': error: ' && fail "desktop file"
appstreamcli validate --no-net "$prefix/share/metainfo/$app.metainfo.xml" || fail "metainfo"
for size in 16 22 24 32 48 64 128 256; do
    test -s "$prefix/share/icons/hicolor/${size}x$size/apps/quillmark.png" || fail "icon $size"
done
test -s "$prefix/share/icons/hicolor/scalable/apps/quillmark.svg" || fail "scalable icon"

# The label file type, in a data home of our own.
data=$tmp/data
mkdir -p "$data/mime/packages"
cp "$prefix/share/mime/packages/quillmark.xml" "$data/mime/packages/"
XDG_DATA_HOME=$data XDG_DATA_DIRS=$data update-mime-database "$data/mime" >/dev/null
printf '\001TPF0\016TGCounterLabel' >"$tmp/label.qm"
printf '\001\000\001\004\000' >"$tmp/empty-design"
cp "$tmp/label.qm" "$tmp/label-without-extension"
for f in label.qm label-without-extension empty-design; do
    type=$(XDG_DATA_HOME=$data XDG_DATA_DIRS=$data XDG_CURRENT_DESKTOP= xdg-mime query filetype "$tmp/$f")
    [ "$type" = application/x-quillmark ] || fail "$f is $type"
done

# The installed program, started from the prefix alone.
out=$(cd "$tmp" && HOME=$tmp/home XDG_CONFIG_HOME=$tmp/config XDG_CACHE_HOME=$tmp/cache \
      QT_QPA_PLATFORM=offscreen "$prefix/bin/quillmark" --self-check 2>"$tmp/stderr") \
    || { cat "$tmp/stderr"; echo "$out"; fail "self-check"; }
echo "$out"
echo "$out" | grep -q "^templates: $prefix/share/quillmark/QMTPL.dat, [1-9]" || fail "templates"
echo "$out" | grep -q "^help: $prefix/share/quillmark/help/quillmark.qch, [1-9][0-9]* pages, \"Choosing a Template\"" \
    || fail "help"
if [ -d "$build/bin/bmbrush" ]; then
    echo "$out" | grep -q "^textures: $prefix/share/quillmark/bmbrush/, [1-9]" || fail "textures"
fi
echo "install check passed"
