# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# Translations. resources/translations/ holds, per language code XX,
#   Lang_XX.ts         the application's texts (app/, engine/, tools/)
#   Lang_Custom_XX.ts  the widget library's and the common code's (widgets/, common/, platform/)
# Every build compiles them into <appdir>/Lang/ beside Qt's own translations.
# Only the update_translations target rewrites the .ts files from the sources:
#   cmake --build build --target update_translations
# after which the entries marked unfinished need their translation; the test
# translations/complete fails until none is left.
# Included by QuillvaneAppDir.cmake: it appends to _appdir_outputs.

set(QUILLVANE_TS_DIR ${CMAKE_SOURCE_DIR}/resources/translations)
if(QUILLVANE_BUILD_TESTS)
    find_program(QUILLVANE_PYTHON3 python3 PATHS /usr/bin REQUIRED)
else()
    find_program(QUILLVANE_PYTHON3 python3 PATHS /usr/bin)
endif()
set(QUILLVANE_TRANSLATIONS_SCRIPT ${CMAKE_SOURCE_DIR}/scripts/translations.py)
set(QUILLVANE_TRANSLATIONS_ARGS
    --lupdate $<TARGET_FILE:Qt5::lupdate>
    --root ${CMAKE_SOURCE_DIR}
    --ts-dir ${QUILLVANE_TS_DIR}
    --app-sources app engine tools
    --library-sources widgets common platform)

if(QUILLVANE_PYTHON3)
    add_custom_target(update_translations
        COMMAND ${QUILLVANE_PYTHON3} ${QUILLVANE_TRANSLATIONS_SCRIPT} update ${QUILLVANE_TRANSLATIONS_ARGS}
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
        COMMENT "Updating the translation sources from the code"
        VERBATIM USES_TERMINAL)
endif()

file(GLOB _ts_files CONFIGURE_DEPENDS ${QUILLVANE_TS_DIR}/Lang_*.ts)
set_source_files_properties(${_ts_files} PROPERTIES OUTPUT_LOCATION ${_appdir}/Lang)
qt5_add_translation(_qm_files ${_ts_files} OPTIONS -silent)
list(APPEND _appdir_outputs ${_qm_files})
# qt5_add_translation may name a file twice.
set(QUILLVANE_QM_FILES ${_qm_files})
list(REMOVE_DUPLICATES QUILLVANE_QM_FILES)

# Qt's own texts (standard dialogs) as Lang/Qt_XX.qm, from the system's Qt
# translations (Debian: qttranslations5-l10n).
get_target_property(_qmake Qt5::qmake IMPORTED_LOCATION)
execute_process(COMMAND ${_qmake} -query QT_INSTALL_TRANSLATIONS
    OUTPUT_VARIABLE _qt_translations OUTPUT_STRIP_TRAILING_WHITESPACE)
set(_qt_catalogues "ZH=qtbase_zh_CN.qm")
foreach(_entry IN LISTS _qt_catalogues)
    string(REPLACE "=" ";" _pair ${_entry})
    list(GET _pair 0 _code)
    list(GET _pair 1 _catalogue)
    find_file(QUILLVANE_QT_QM_${_code} ${_catalogue}
        HINTS ${_qt_translations} /usr/share/qt5/translations NO_DEFAULT_PATH)
    if(NOT QUILLVANE_QT_QM_${_code})
        message(WARNING "${_catalogue} not found (Debian package qttranslations5-l10n): "
                        "Qt's own dialogs stay in English for ${_code}")
        continue()
    endif()
    add_custom_command(OUTPUT ${_appdir}/Lang/Qt_${_code}.qm
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLVANE_QT_QM_${_code}} ${_appdir}/Lang/Qt_${_code}.qm
        DEPENDS ${QUILLVANE_QT_QM_${_code}}
        VERBATIM)
    list(APPEND _appdir_outputs ${_appdir}/Lang/Qt_${_code}.qm)
    list(APPEND QUILLVANE_QM_FILES ${_appdir}/Lang/Qt_${_code}.qm)
endforeach()
