#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
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

# Every option of --help (of quillvane-cli's every command too), as the page writes it (*--name*).
helpoptions() { "$@" | grep -oE '(^|[ ,])--?[a-zA-Z][a-zA-Z-]*' | tr -d ' ,' | sort -u; }
checkpage() { # PAGE OPTIONS...
    page=$1
    shift
    [ $# -gt 0 ] || fail "$page: --help shows no option"
    for option; do
        grep -qF -- "*$option*" "$source/docs/man/$page.1.scd" || fail "$page(1) lacks $option"
    done
    man -l "$build/man/$page.1.gz" >/dev/null 2>"$scratch/man.log" && [ ! -s "$scratch/man.log" ] ||
        { cat "$scratch/man.log"; fail "$page.1 does not render cleanly"; }
}
# shellcheck disable=SC2046 # one option a word
checkpage quillvane $(helpoptions "$build/bin/quillvane" --help)
cli=$build/bin/quillvane-cli
commands=$("$cli" --help | sed -n '/^Commands:/,/^$/p' | awk 'NF > 1 { print $1 }')
[ "$(echo $commands | wc -w)" = 10 ] || fail "quillvane-cli --help lists: $commands"
for command in $commands; do
    grep -qF -- "*$command*" "$source/docs/man/quillvane-cli.1.scd" || fail "quillvane-cli(1) lacks $command"
done
# shellcheck disable=SC2046
checkpage quillvane-cli $( (helpoptions "$cli" --help; for c in $commands; do helpoptions "$cli" "$c" --help; done) | sort -u)
echo "docs: desktop entry and metainfo valid; both manual pages have every option of --help"
