# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# The Debian package, made by CPack from the same install rules as
# `cmake --install` (cpack -G DEB in the build folder):
#   quillvane_<version>_<arch>.deb, installed under /usr, its library
#   dependencies computed by dpkg-shlibdeps, plus the programs it starts.
set(QUILLVANE_PACKAGE_MAINTAINER "Quillvane maintainers <maintainers@quillvane.invalid>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR tessarin)
set(CPACK_PACKAGE_CONTACT ${QUILLVANE_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop audio toolbox: convert, adjust, mix, split and trim")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Quillvane converts audio and video files into MP3, AAC, FLAC, WAV or AMR,\n"
    "changes their speed without changing the pitch, normalises or changes their\n"
    "volume, plays them backwards, mixes, splits, joins and trims them. Every\n"
    "file becomes a job that runs ffmpeg and ends as a new file in the output\n"
    "folder: the inputs are never changed. The interface is in English and\n"
    "Simplified Chinese, with a user guide.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Started as programs, so no library dependency names them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, python3, python3-numpy")
# Qt's audio back ends, loaded at run time: playback needs one, the rest works without.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt5multimedia5-plugins")
if(QUILLVANE_HOMEPAGE_URL)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${QUILLVANE_HOMEPAGE_URL})
endif()
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
