# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# `cmake --install`: the executables in bin/, read-only data in
# share/quillvane/ (found by the executable as ../share/quillvane), desktop
# integration in share/. Every file is an install() rule of its own, so the
# install manifest lists all of it; nothing is a link.
set(_data ${QUILLVANE_INSTALL_DATA_DIR})

install(TARGETS quillvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET quillvane-cli)
    install(TARGETS quillvane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

install(FILES ${QUILLVANE_APP_DIR}/quillvane.ini DESTINATION ${_data})
foreach(_f IN LISTS QUILLVANE_COPIED_DATA)
    get_filename_component(_dir ${_f} DIRECTORY)
    install(FILES ${CMAKE_SOURCE_DIR}/resources/${_f} DESTINATION ${_data}/${_dir})
endforeach()
install(FILES ${QUILLVANE_QM_FILES} DESTINATION ${_data}/Lang)
foreach(_pair IN LISTS QUILLVANE_RUNTIME_FILES)
    string(REPLACE "=" ";" _pair ${_pair})
    list(GET _pair 0 _source)
    list(GET _pair 1 _rel)
    get_filename_component(_dir ${_rel} DIRECTORY)
    if(_source MATCHES "python\\.exe$")
        install(PROGRAMS ${CMAKE_SOURCE_DIR}/runtime/${_source} DESTINATION ${_data}/${_dir})
    else()
        install(FILES ${CMAKE_SOURCE_DIR}/runtime/${_source} DESTINATION ${_data}/${_dir})
    endif()
endforeach()
if(QUILLVANE_GUIDES)
    install(FILES ${QUILLVANE_GUIDES} DESTINATION ${_data}/help)
endif()

# Manual pages: a program's page only where the program is built.
foreach(_page IN LISTS QUILLVANE_MAN_PAGES)
    get_filename_component(_name ${_page} NAME)
    string(REGEX MATCH "^(.+)\\.([0-9])\\.gz$" _match ${_name})
    if(NOT TARGET ${CMAKE_MATCH_1})
        continue()
    endif()
    install(FILES ${_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${CMAKE_MATCH_2})
endforeach()

# The release: packaging/changelog's first entry names this version; its date
# is the release date of the metainfo.
file(STRINGS ${CMAKE_SOURCE_DIR}/packaging/changelog _changelog)
list(GET _changelog 0 _first)
if(NOT _first MATCHES "^quillvane \\(${PROJECT_VERSION}\\) ")
    message(FATAL_ERROR "packaging/changelog must begin with an entry for ${PROJECT_VERSION}: ${_first}")
endif()
foreach(_line IN LISTS _changelog)
    if(_line MATCHES "^ -- .*  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        set(_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
        list(FIND _months ${CMAKE_MATCH_2} _month)
        math(EXPR _month "${_month} + 1")
        if(_month LESS 10)
            set(_month 0${_month})
        endif()
        set(QUILLVANE_RELEASE_DATE ${CMAKE_MATCH_3}-${_month}-${CMAKE_MATCH_1})
        break()
    endif()
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)

# Desktop integration: the menu entry, the AppStream metainfo, the icons.
set(_desktop ${CMAKE_BINARY_DIR}/desktop)
add_custom_command(OUTPUT ${_desktop}/${QUILLVANE_APP_ID}.metainfo.xml
    COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${CMAKE_SOURCE_DIR}/resources/desktop/quillvane.metainfo.xml.in
        -DOUTPUT=${_desktop}/${QUILLVANE_APP_ID}.metainfo.xml -DAPP_ID=${QUILLVANE_APP_ID}
        -DVERSION=${PROJECT_VERSION} -DDATE=${QUILLVANE_RELEASE_DATE}
        -DHOMEPAGE=${QUILLVANE_HOMEPAGE_URL} -DSCREENSHOT=${QUILLVANE_SCREENSHOT_URL}
        -P ${CMAKE_SOURCE_DIR}/cmake/RenderMetainfo.cmake
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/desktop/quillvane.metainfo.xml.in
        ${CMAKE_SOURCE_DIR}/cmake/RenderMetainfo.cmake
    VERBATIM)
add_custom_target(quillvane_metainfo ALL DEPENDS ${_desktop}/${QUILLVANE_APP_ID}.metainfo.xml)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quillvane.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications RENAME ${QUILLVANE_APP_ID}.desktop)
install(FILES ${_desktop}/${QUILLVANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/desktop/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The copyright and the changes, where Debian looks for them.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/doc
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/changelog ${CMAKE_BINARY_DIR}/doc/changelog
    COMMAND gzip -9 -n -f ${CMAKE_BINARY_DIR}/doc/changelog
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog
    VERBATIM)
add_custom_target(quillvane_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/doc/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})
