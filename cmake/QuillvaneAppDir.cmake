# Lays out the application directory beside the executable: the ffmpeg it
# runs, the fonts configuration its children read, the language files, the
# web-link configuration (quillvane.ini, for packagers) and the Python runtime
# layer. `cmake --install` mirrors the same layout.
set(_appdir ${QUILLVANE_APP_DIR})

find_program(QUILLVANE_SYSTEM_FFMPEG ffmpeg PATHS /usr/bin REQUIRED)

add_custom_command(OUTPUT ${_appdir}/ffmpeg
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_appdir}
    COMMAND ${CMAKE_COMMAND} -E create_symlink ${QUILLVANE_SYSTEM_FFMPEG} ${_appdir}/ffmpeg
    COMMENT "Linking the system ffmpeg into the application directory"
    VERBATIM)

set(_appdir_outputs ${_appdir}/ffmpeg)
set(_copied
    font/fonts.conf
    Lang/Lang_config
    quillvane.ini)
foreach(_f IN LISTS _copied)
    add_custom_command(OUTPUT ${_appdir}/${_f}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/resources/${_f} ${_appdir}/${_f}
        DEPENDS ${CMAKE_SOURCE_DIR}/resources/${_f}
        VERBATIM)
    list(APPEND _appdir_outputs ${_appdir}/${_f})
endforeach()

include(${CMAKE_CURRENT_LIST_DIR}/QuillvaneTranslations.cmake)

# The Python runtime layer: the launcher and the scripts, copied from runtime/.
file(GLOB_RECURSE _runtime_files CONFIGURE_DEPENDS RELATIVE ${CMAKE_SOURCE_DIR}/runtime
    ${CMAKE_SOURCE_DIR}/runtime/*)
foreach(_f IN LISTS _runtime_files)
    if(_f MATCHES "__pycache__|\\.pyc$|^tests/")
        continue()
    endif()
    # Scripts sit at the top of the application directory, the rest under runtime/.
    if(_f MATCHES "^[^/]+\\.py$")
        set(_dest ${_appdir}/${_f})
    else()
        set(_dest ${_appdir}/runtime/${_f})
    endif()
    add_custom_command(OUTPUT ${_dest}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/runtime/${_f} ${_dest}
        DEPENDS ${CMAKE_SOURCE_DIR}/runtime/${_f}
        VERBATIM)
    list(APPEND _appdir_outputs ${_dest})
endforeach()

add_custom_target(quillvane_appdir ALL DEPENDS ${_appdir_outputs})
add_dependencies(quillvane quillvane_appdir)

# Installation: the same application directory under the prefix.
install(TARGETS quillvane RUNTIME DESTINATION ${QUILLVANE_INSTALL_APP_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/resources/font/fonts.conf DESTINATION ${QUILLVANE_INSTALL_APP_DIR}/font)
install(DIRECTORY ${_appdir}/Lang/ DESTINATION ${QUILLVANE_INSTALL_APP_DIR}/Lang)
install(FILES ${CMAKE_SOURCE_DIR}/resources/quillvane.ini DESTINATION ${QUILLVANE_INSTALL_APP_DIR})
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUILLVANE_INSTALL_APP_DIR}\")
    execute_process(COMMAND \${CMAKE_COMMAND} -E create_symlink ${QUILLVANE_SYSTEM_FFMPEG}
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUILLVANE_INSTALL_APP_DIR}/ffmpeg\")")
foreach(_f IN LISTS _runtime_files)
    if(_f MATCHES "__pycache__|\\.pyc$|^tests/")
        continue()
    endif()
    get_filename_component(_dir ${_f} DIRECTORY)
    if(_f MATCHES "^[^/]+\\.py$")
        install(FILES ${CMAKE_SOURCE_DIR}/runtime/${_f} DESTINATION ${QUILLVANE_INSTALL_APP_DIR})
    elseif(_f MATCHES "python\\.exe$")
        install(PROGRAMS ${CMAKE_SOURCE_DIR}/runtime/${_f} DESTINATION ${QUILLVANE_INSTALL_APP_DIR}/runtime/${_dir})
    else()
        install(FILES ${CMAKE_SOURCE_DIR}/runtime/${_f} DESTINATION ${QUILLVANE_INSTALL_APP_DIR}/runtime/${_dir})
    endif()
endforeach()

# Desktop integration: a launcher on PATH, the menu entry and the icon theme sizes.
install(CODE "
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
    execute_process(COMMAND \${CMAKE_COMMAND} -E create_symlink ../${QUILLVANE_INSTALL_APP_DIR}/quillvane
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quillvane\")")
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/quillvane.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/resources/desktop/icons/hicolor
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
