# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Quillvane authors
# cmake -DSCDOC=... -DSOURCE=page.1.scd -DOUTPUT=page.1 -P RenderManPage.cmake
# writes OUTPUT.gz: scdoc's roff, compressed the way Debian ships manual pages.
execute_process(COMMAND ${SCDOC} INPUT_FILE ${SOURCE} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "scdoc failed on ${SOURCE}")
endif()
execute_process(COMMAND gzip -9 -n -f ${OUTPUT} RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "gzip failed on ${OUTPUT}")
endif()
