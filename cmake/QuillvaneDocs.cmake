# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# The user guide and the manual pages, built from their sources:
#   docs/guide/guide-<code>.md  ->  <appdir>/help/guide-<code>.html (Help opens it)
#   docs/man/<page>.<n>.scd     ->  <build>/man/<page>.<n>.gz
# The guide is rendered by python3-markdown (scripts/render-guide.py), the pages
# by scdoc. Without those tools a build without tests goes on: Help is then
# hidden and no manual page is installed.
set(QUILLVANE_GUIDES)
set(QUILLVANE_MAN_PAGES)

# A Python that has the markdown module: the system's first.
if(NOT QUILLVANE_MARKDOWN_PYTHON)
    set(_candidates)
    if(EXISTS /usr/bin/python3)
        list(APPEND _candidates /usr/bin/python3)
    endif()
    find_program(_path_python python3 NO_CACHE)
    if(_path_python)
        list(APPEND _candidates ${_path_python})
    endif()
    foreach(_python IN LISTS _candidates)
        execute_process(COMMAND ${_python} -c "import markdown"
            RESULT_VARIABLE _no_markdown OUTPUT_QUIET ERROR_QUIET)
        if(_no_markdown EQUAL 0)
            set(QUILLVANE_MARKDOWN_PYTHON ${_python} CACHE FILEPATH "Python 3 with the markdown module")
            break()
        endif()
    endforeach()
endif()
find_program(QUILLVANE_SCDOC scdoc)

if(QUILLVANE_BUILD_TESTS AND (NOT QUILLVANE_MARKDOWN_PYTHON OR NOT QUILLVANE_SCDOC))
    message(FATAL_ERROR "The tests check the guide and the manual pages: install python3-markdown and scdoc "
                        "(scripts/install-deps.sh), or configure with -DQUILLVANE_BUILD_TESTS=OFF")
endif()

set(_docs_outputs)
if(QUILLVANE_MARKDOWN_PYTHON)
    file(GLOB _guide_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide/guide-*.md)
    file(GLOB _guide_images CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/screenshots/*.png)
    foreach(_md IN LISTS _guide_sources)
        get_filename_component(_name ${_md} NAME_WE)
        set(_html ${_appdir}/help/${_name}.html)
        add_custom_command(OUTPUT ${_html}
            COMMAND ${QUILLVANE_MARKDOWN_PYTHON} ${CMAKE_SOURCE_DIR}/scripts/render-guide.py ${_md} ${_html}
                ${PROJECT_VERSION}
            DEPENDS ${_md} ${CMAKE_SOURCE_DIR}/scripts/render-guide.py
            COMMENT "Rendering the user guide ${_name}"
            VERBATIM)
        list(APPEND QUILLVANE_GUIDES ${_html})
    endforeach()
    foreach(_png IN LISTS _guide_images)
        get_filename_component(_name ${_png} NAME)
        add_custom_command(OUTPUT ${_appdir}/help/${_name}
            COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_png} ${_appdir}/help/${_name}
            DEPENDS ${_png}
            VERBATIM)
        list(APPEND QUILLVANE_GUIDES ${_appdir}/help/${_name})
    endforeach()
    list(APPEND _docs_outputs ${QUILLVANE_GUIDES})
else()
    message(STATUS "python3-markdown not found: the user guide is not built and Help stays hidden")
endif()

if(QUILLVANE_SCDOC)
    file(GLOB _man_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/*.scd)
    foreach(_scd IN LISTS _man_sources)
        get_filename_component(_page ${_scd} NAME)
        string(REGEX REPLACE "\\.scd$" "" _page ${_page})
        set(_source ${CMAKE_BINARY_DIR}/man/${_page}.scd)
        configure_file(${_scd} ${_source} @ONLY)
        add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${_page}.gz
            COMMAND ${CMAKE_COMMAND} -DSCDOC=${QUILLVANE_SCDOC} -DSOURCE=${_source}
                -DOUTPUT=${CMAKE_BINARY_DIR}/man/${_page} -P ${CMAKE_SOURCE_DIR}/cmake/RenderManPage.cmake
            DEPENDS ${_source} ${CMAKE_SOURCE_DIR}/cmake/RenderManPage.cmake
            COMMENT "Rendering the manual page ${_page}"
            VERBATIM)
        list(APPEND QUILLVANE_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${_page}.gz)
    endforeach()
    list(APPEND _docs_outputs ${QUILLVANE_MAN_PAGES})
else()
    message(STATUS "scdoc not found: the manual pages are not built")
endif()

add_custom_target(quillvane_docs ALL DEPENDS ${_docs_outputs})
