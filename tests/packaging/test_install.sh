#!/bin/sh
# cmake --install into a scratch prefix: every file is a real file listed in
# the install manifest, the program runs from there, and removing exactly the
# manifest's files leaves nothing behind.
#   test_install.sh BUILD_DIR VERSION
set -eu
build=$1
version=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/p
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
manifest=$build/install_manifest.txt
sort "$manifest" >"$scratch/listed"
(cd / && find "$prefix" ! -type d | sort) >"$scratch/present"
diff -u "$scratch/listed" "$scratch/present" || fail "installed files and the manifest differ"
links=$(find "$prefix" -type l)
[ -z "$links" ] || fail "links installed: $links"

[ -f "$prefix/bin/quillvane" ] && [ -x "$prefix/bin/quillvane" ] || fail "no executable bin/quillvane"
for f in quillvane.ini font/fonts.conf Lang/Lang_config Lang/Lang_ZH.qm runtime/python.exe \
    uvr5_cli.py help/guide-en.html help/guide-zh.html; do
    [ -f "$prefix/share/quillvane/$f" ] || fail "share/quillvane/$f missing"
done
[ "$("$prefix/bin/quillvane" --version)" = "quillvane $version" ] || fail "bin/quillvane --version"

while IFS= read -r f || [ -n "$f" ]; do
    rm -f -- "$f"
done <"$manifest"
left=$(find "$prefix" ! -type d)
[ -z "$left" ] || fail "left behind after removing the manifest's files: $left"
echo "install: $(wc -l <"$manifest") files, all listed, none left"
