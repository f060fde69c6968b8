# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Lays out the build's application directory beside the executable: the
# fonts configuration its children read, the language files, quillvane.ini,
# the Python runtime layer and speaker profiles, and a link to the system
# ffmpeg for development. QuillvaneInstall.cmake puts the same data under
# <prefix>/share/quillvane, where the installed executable looks for it.
set(_appdir ${QUILLVANE_APP_DIR})
set(_appdir_outputs)

# The application finds ffmpeg at run time (beside itself, else on PATH); only
# the tests insist on one being there now.
if(QUILLVANE_BUILD_TESTS)
    find_program(QUILLVANE_SYSTEM_FFMPEG ffmpeg PATHS /usr/bin REQUIRED)
else()
    find_program(QUILLVANE_SYSTEM_FFMPEG ffmpeg PATHS /usr/bin)
endif()
if(QUILLVANE_SYSTEM_FFMPEG)
    add_custom_command(OUTPUT ${_appdir}/ffmpeg
        COMMAND ${CMAKE_COMMAND} -E make_directory ${_appdir}
        COMMAND ${CMAKE_COMMAND} -E create_symlink ${QUILLVANE_SYSTEM_FFMPEG} ${_appdir}/ffmpeg
        COMMENT "Linking the system ffmpeg into the application directory"
        VERBATIM)
    list(APPEND _appdir_outputs ${_appdir}/ffmpeg)
endif()

# The links configuration, with the addresses chosen for this build.
configure_file(${CMAKE_SOURCE_DIR}/resources/quillvane.ini.in ${_appdir}/quillvane.ini @ONLY)

set(QUILLVANE_COPIED_DATA
    font/fonts.conf
    Lang/Lang_config)
foreach(_f IN LISTS QUILLVANE_COPIED_DATA)
    add_custom_command(OUTPUT ${_appdir}/${_f}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/${_f} ${_appdir}/${_f}
        DEPENDS ${CMAKE_SOURCE_DIR}/resources/${_f}
        VERBATIM)
    list(APPEND _appdir_outputs ${_appdir}/${_f})
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/QuillvaneTranslations.cmake)

# The Python runtime layer: the launcher, the scripts and the speaker profiles,
# copied from runtime/. Scripts sit at the top of the data folder, the rest
# under runtime/. QUILLVANE_RUNTIME_FILES holds "source=destination" pairs
# relative to runtime/ and to the data folder.
file(GLOB_RECURSE _runtime_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/runtime
    ${CMAKE_SOURCE_DIR}/runtime/*)
set(QUILLVANE_RUNTIME_FILES)
foreach(_f IN LISTS _runtime_files)
    if(_f MATCHES "__pycache__|\\.pyc$|^tests/")
        continue()
    endif()
    if(_f MATCHES "^[^/]+\\.py$")
        set(_rel ${_f})
    else()
        set(_rel runtime/${_f})
    endif()
    list(APPEND QUILLVANE_RUNTIME_FILES "${_f}=${_rel}")
    add_custom_command(OUTPUT ${_appdir}/${_rel}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/runtime/${_f} ${_appdir}/${_rel}
        DEPENDS ${CMAKE_SOURCE_DIR}/runtime/${_f}
        VERBATIM)
    list(APPEND _appdir_outputs ${_appdir}/${_rel})
endforeach()

add_custom_target(quillvane_appdir ALL DEPENDS ${_appdir_outputs})
add_dependencies(quillvane quillvane_appdir)
