# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Compiles everything under resources/ (skin and images) into the Qt resource
# system. The .qrc is written from the folder's content, so adding an image
# needs no list to be kept by hand: resources/images/normal/convert.png becomes
# ":/images/normal/convert.png".
set(_res_root ${CMAKE_SOURCE_DIR}/resources)
file(GLOB_RECURSE _res_files CONFIGURE_DEPENDS RELATIVE ${_res_root}
    ${_res_root}/images/*.png ${_res_root}/skin/*.ini)
list(SORT _res_files)
set(_qrc "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
foreach(_f IN LISTS _res_files)
    string(APPEND _qrc "    <file alias=\"${_f}\">${_res_root}/${_f}</file>\n")
endforeach()
string(APPEND _qrc "</qresource>\n</RCC>\n")
set(_qrc_file ${CMAKE_BINARY_DIR}/generated/quillvane.qrc)
file(WRITE ${_qrc_file}.tmp "${_qrc}")
configure_file(${_qrc_file}.tmp ${_qrc_file} COPYONLY)

add_library(quillvane_resources OBJECT ${_qrc_file})
set_target_properties(quillvane_resources PROPERTIES AUTORCC ON)
target_link_libraries(quillvane_resources PRIVATE Qt5::Core)
