# cmake -DCURVEVIEW=... -DWORK_DIR=... -P CheckCurveview.cmake
# Draws the synthetic curve and checks that a 1000x600 PNG comes out; a record file that is not
# there must give exit code 1 and no picture.
file(REMOVE "${WORK_DIR}/curveview_check.png" "${WORK_DIR}/curveview_bad.png")
execute_process(COMMAND "${CURVEVIEW}" -o "${WORK_DIR}/curveview_check.png" RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
    message(FATAL_ERROR "curveview exited with ${_status}")
endif()
# The signature, then the first chunk's width and height, big-endian.
file(READ "${WORK_DIR}/curveview_check.png" _header LIMIT 24 HEX)
if(NOT _header STREQUAL "89504e470d0a1a0a0000000d49484452000003e800000258")
    message(FATAL_ERROR "not a 1000x600 PNG: ${_header}")
endif()
execute_process(COMMAND "${CURVEVIEW}" --record "${WORK_DIR}/no such record"
    -o "${WORK_DIR}/curveview_bad.png" RESULT_VARIABLE _status ERROR_VARIABLE _error)
if(NOT _status EQUAL 1 OR EXISTS "${WORK_DIR}/curveview_bad.png")
    message(FATAL_ERROR "a missing record gave exit code ${_status}: ${_error}")
endif()
