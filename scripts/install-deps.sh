#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Installs the Debian packages Quillvane needs to build, run and test.
# The user guide is rendered by python3-markdown and the manual pages by
# scdoc; dpkg-dev (dpkg-shlibdeps) serves CPack's Debian package,
# which lintian, desktop-file-utils, appstream and man-db check in the tests.
# GNU parallel runs the README's example of spreading a batch (tests/cli).
# The title bar test counts the installed translators through Qt's private
# header (qtbase5-private-dev).
# libswresample-dev serves the in-process decoding of the waveform and the silence
# split; libavfilter-dev the resident converter's filter graphs (quillvane-cli --worker);
# qtmultimedia5-dev and its plugins play a file through the sound device.
# Safe to run again: apt-get skips what is already there.
set -e
if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
PACKAGES="build-essential cmake ninja-build pkg-config \
qtbase5-dev qtbase5-private-dev qtbase5-dev-tools qttools5-dev qttools5-dev-tools qttranslations5-l10n \
ffmpeg libavcodec-extra libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libavfilter-dev \
qtmultimedia5-dev libqt5multimedia5-plugins \
python3 python3-numpy parallel \
xvfb xauth imagemagick xdg-utils procps fontconfig fonts-noto-cjk \
python3-markdown scdoc dpkg-dev lintian desktop-file-utils appstream man-db"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends $missing
fi
