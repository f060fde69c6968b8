#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# The Debian package: built by CPack from the build, checked by dpkg-deb and
# lintian, unpacked and run, installed into and removed from a scratch root.
#   test_deb.sh BUILD_DIR VERSION
set -eu
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/pkg" >"$scratch/cpack.log") || { cat "$scratch/cpack.log"; fail cpack; }
deb=$scratch/pkg/quillvane_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $deb"

depends=$(dpkg-deb -f "$deb" Depends)
for want in ffmpeg python3-numpy libqt5widgets5 libc6; do
    echo "$depends" | grep -Eq "(^|, )$want( |,|$)" || fail "Depends lacks $want: $depends"
done
dpkg-deb -c "$deb" >"$scratch/contents"
for program in quillvane quillvane-cli; do
    grep -q "^-rwxr-xr-x root/root .* \./usr/bin/$program\$" "$scratch/contents" || fail "usr/bin/$program"
done
! grep -q '^l' "$scratch/contents" || fail "the package holds links"
lintian --fail-on error,warning "$deb" >"$scratch/lintian.log" 2>&1 || { cat "$scratch/lintian.log"; fail lintian; }

# Unpacked anywhere, the program runs and its desktop files validate.
dpkg-deb -x "$deb" "$scratch/x"
[ "$("$scratch/x/usr/bin/quillvane" --version)" = "quillvane $version" ] || fail "unpacked quillvane --version"
[ "$("$scratch/x/usr/bin/quillvane-cli" --version)" = "quillvane-cli $version" ] || fail "unpacked quillvane-cli --version"
ffmpeg -v error -f lavfi -i sine=duration=1 -y "$scratch/tone.wav"
"$scratch/x/usr/bin/quillvane-cli" convert --to flac -q -o "$scratch/out" "$scratch/tone.wav" ||
    fail "unpacked quillvane-cli convert"
[ -s "$scratch/out/tone.flac" ] || fail "unpacked quillvane-cli convert wrote no tone.flac"
desktop-file-validate "$scratch"/x/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$scratch"/x/usr/share/metainfo/*.metainfo.xml >/dev/null || fail "appstreamcli validate"

# Installed into and removed from a root of its own: nothing of it is left.
root=$scratch/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
: >"$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-script-chrootless -i "$deb" >/dev/null 2>"$scratch/dpkg.log" ||
    { cat "$scratch/dpkg.log"; fail "dpkg -i"; }
[ -x "$root/usr/bin/quillvane" ] || fail "dpkg -i left no usr/bin/quillvane"
dpkg --root="$root" --force-script-chrootless -P quillvane >/dev/null 2>>"$scratch/dpkg.log" ||
    { cat "$scratch/dpkg.log"; fail "dpkg -P"; }
left=$(find "$root" -path "$root/var" -prune -o ! -type d -print)
[ -z "$left" ] || fail "left behind by dpkg -P: $left"
echo "deb: $(basename "$deb") built, lintian clean, installed and purged"
