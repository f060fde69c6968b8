#!/bin/sh
# The desktop entry and the AppStream metainfo validate (the metainfo also
# with the addresses a distribution sets), and the manual page documents every
# option that --help shows.
#   test_docs.sh SOURCE_DIR BUILD_DIR
set -eu
source=$1
build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

desktop-file-validate "$source/resources/desktop/quillvane.desktop" || fail "desktop-file-validate"
for urls in "" "-DHOMEPAGE=https://quillvane.test/ -DSCREENSHOT=https://quillvane.test/shot.png"; do
    # shellcheck disable=SC2086 # the -D options are separate words
    cmake -DTEMPLATE="$source/resources/desktop/quillvane.metainfo.xml.in" -DOUTPUT="$scratch/m.metainfo.xml" \
        -DAPP_ID=org.tessarin.Quillvane -DVERSION=1.0 -DDATE=2026-01-01 $urls \
        -P "$source/cmake/RenderMetainfo.cmake"
    appstreamcli validate --no-net "$scratch/m.metainfo.xml" >"$scratch/log" || { cat "$scratch/log"; fail "metainfo ($urls)"; }
done
grep -q '<image>https://quillvane.test/shot.png</image>' "$scratch/m.metainfo.xml" || fail "no screenshot"

# Every option of --help, as the page writes it (*--name*).
options=$("$build/bin/quillvane" --help | grep -oE '(^|[ ,])--?[a-zA-Z][a-zA-Z-]*' | tr -d ' ,' | sort -u)
[ -n "$options" ] || fail "quillvane --help shows no option"
for option in $options; do
    grep -qF -- "*$option*" "$source/docs/man/quillvane.1.scd" || fail "quillvane(1) lacks $option"
done
man -l "$build/man/quillvane.1.gz" >/dev/null 2>"$scratch/man.log" && [ ! -s "$scratch/man.log" ] ||
    { cat "$scratch/man.log"; fail "quillvane.1 does not render cleanly"; }
echo "docs: desktop entry and metainfo valid; the manual page has $(echo $options | wc -w) options of --help"
