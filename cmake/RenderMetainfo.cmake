# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# cmake -DTEMPLATE=... -DOUTPUT=... -DAPP_ID=... -DVERSION=... -DDATE=YYYY-MM-DD
#       [-DHOMEPAGE=URL] [-DSCREENSHOT=URL] -P RenderMetainfo.cmake
# Writes the AppStream metainfo; the homepage and the screenshot appear where
# this build has an address for them.
function(xml_escape out text)
    string(REPLACE "&" "&amp;" text "${text}")
    string(REPLACE "<" "&lt;" text "${text}")
    string(REPLACE ">" "&gt;" text "${text}")
    string(REPLACE "\"" "&quot;" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(URLS "")
if(HOMEPAGE)
    xml_escape(_homepage "${HOMEPAGE}")
    set(URLS "  <url type=\"homepage\">${_homepage}</url>\n")
endif()
set(SCREENSHOTS "")
if(SCREENSHOT)
    xml_escape(_screenshot "${SCREENSHOT}")
    string(CONCAT SCREENSHOTS
        "  <screenshots>\n"
        "    <screenshot type=\"default\">\n"
        "      <caption>Format Convert with jobs in every state</caption>\n"
        "      <image>${_screenshot}</image>\n"
        "    </screenshot>\n"
        "  </screenshots>\n")
endif()
configure_file(${TEMPLATE} ${OUTPUT} @ONLY)
