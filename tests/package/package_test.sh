#!/usr/bin/env bash
# Builds the Debian package from the build tree, unpacks it into a scratch folder and checks it:
# lintian without errors or warnings, the files a desktop expects, valid desktop entry and
# metainfo, the icons, the compressed manual page, the machine-readable copyright, dependencies
# from dpkg-shlibdeps, and the unpacked program run headless from another folder finding its
# data.
# usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail

build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$scratch/pkg" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; fail "cpack failed"; }
deb=("$scratch"/pkg/rtsdemo_"$version"_*.deb)
[ -f "${deb[0]}" ] || fail "no rtsdemo_${version}_*.deb in $(ls "$scratch/pkg")"

# Debian policy as lintian reads it; informational and pedantic notes may stay.
lintian --fail-on error,warning "${deb[0]}" \
  >"$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log"; fail "lintian"; }
grep -E '^[EW]: ' "$scratch/lintian.log" && fail "lintian errors or warnings"

depends=$(dpkg-deb -f "${deb[0]}" Depends)
for lib in libqt6widgets6 libqt6gui6 libqt6core6 libglu1-mesa libstdc++6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done

root=$scratch/root
dpkg-deb -x "${deb[0]}" "$root"
for f in usr/games/rtsdemo usr/share/applications/rtsdemo.desktop \
  usr/share/metainfo/rtsdemo.metainfo.xml usr/share/man/man6/rtsdemo.6.gz \
  usr/share/doc/rtsdemo/copyright usr/share/doc/rtsdemo/changelog.gz \
  usr/share/rtsdemo/data/ludi/ludi.txt usr/share/rtsdemo/data/orki/orki.txt \
  usr/share/rtsdemo/data/maps/summer2.bmp; do
  [ -f "$root/$f" ] || fail "missing /$f"
done
for size in 16 22 24 32 48 64 128 256; do
  icon=$root/usr/share/icons/hicolor/${size}x${size}/apps/rtsdemo.png
  file "$icon" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "bad icon: $(file "$icon")"
done
desktop-file-validate "$root/usr/share/applications/rtsdemo.desktop"
appstreamcli validate --no-net "$root/usr/share/metainfo/rtsdemo.metainfo.xml" >/dev/null ||
  { appstreamcli validate --no-net "$root/usr/share/metainfo/rtsdemo.metainfo.xml"; fail "metainfo"; }
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/rtsdemo.metainfo.xml" ||
  fail "metainfo names another version"
[ -f "$root/usr/share/man/man6/rtsdemo.6" ] && fail "uncompressed manual page"
zcat "$root/usr/share/man/man6/rtsdemo.6.gz" | head -1 | grep -q "^\.TH RTSDEMO 6 .*$version" ||
  fail "manual page header"
zcat "$root/usr/share/man/man6/rtsdemo.6.gz" | grep -qF '\-\-batch' || fail "manual lacks --batch"
head -1 "$root/usr/share/doc/rtsdemo/copyright" |
  grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not machine-readable"

# Run from elsewhere, with no display and no hint where the data are.
mkdir "$scratch/elsewhere"
cd "$scratch/elsewhere"
program=$root/usr/games/rtsdemo
run() { env -u DISPLAY -u RTSDEMO_DATA "$program" "$@"; }
[ "$(run --version)" = "rtsdemo $version" ] || fail "--version: $(run --version)"
out=$(printf 'press 1\npress 2\ntick 5\ndump\n' | run --headless --seed 1 --script - 2>"$scratch/err")
[ -s "$scratch/err" ] && fail "standard error: $(cat "$scratch/err")"
[[ $out == *'"Caption":"ДАННЫЕ ЗАГРУЖЕНЫ","Enabled":false'* ]] || fail "data not loaded: ${out:0:300}"
[[ $out == *'"Caption":"ЮНИТЫ РАЗМЕЩЕНЫ","Enabled":false'* ]] || fail "no level: ${out:0:300}"
[[ $out == *'"Messages":[]'* ]] || fail "messages: ${out:0:300}"
status=0
run --data missing --headless --script - </dev/null 2>"$scratch/err" || status=$?
[ "$status" -eq 2 ] && grep -q missing "$scratch/err" || fail "missing --data: status $status"
echo "package test: ${deb[0]##*/} ok"
