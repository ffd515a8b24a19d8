# cmake -DLUPDATE=... -DSOURCE_DIR=... -DTS_FILE=... -DWORK_DIR=... -P CheckTranslationSources.cmake
# Fails when TS_FILE does not hold exactly the translatable texts of SOURCE_DIR: lupdate, run over a
# copy, would add a new text or drop an old one.
get_filename_component(_name "${TS_FILE}" NAME)
set(_copy "${WORK_DIR}/${_name}")
configure_file("${TS_FILE}" "${_copy}" COPYONLY)
execute_process(COMMAND "${LUPDATE}" -silent -locations none -no-obsolete "${SOURCE_DIR}" -ts "${_copy}"
    RESULT_VARIABLE _status ERROR_QUIET)
if(_status)
    message(FATAL_ERROR "lupdate failed on ${SOURCE_DIR}")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files "${TS_FILE}" "${_copy}"
    RESULT_VARIABLE _differs)
if(_differs)
    execute_process(COMMAND diff -u "${TS_FILE}" "${_copy}")
    message(FATAL_ERROR "${TS_FILE} is not current; update it with\n"
        "  lupdate -locations none -no-obsolete ${SOURCE_DIR} -ts ${TS_FILE}\n"
        "and translate the new texts")
endif()
