# lrelease comes with the Qt tools package beside qmake; calling it directly spares the build the
# Linguist CMake package, which lives in a development package of its own.
get_target_property(_qmake Qt5::qmake IMPORTED_LOCATION)
get_filename_component(_qt_bin_dir "${_qmake}" DIRECTORY)
find_program(LRELEASE_EXECUTABLE NAMES lrelease lrelease-qt5 HINTS "${_qt_bin_dir}")
find_program(LUPDATE_EXECUTABLE NAMES lupdate lupdate-qt5 HINTS "${_qt_bin_dir}")
if(NOT LRELEASE_EXECUTABLE OR NOT LUPDATE_EXECUTABLE)
    message(FATAL_ERROR "lrelease or lupdate not found (Debian package qttools5-dev-tools)")
endif()

# add_qm_translation(TARGET TS_FILE): compiles TS_FILE into a .qm of the same base name in the
# current binary directory whenever TARGET is built.
function(add_qm_translation target ts_file)
    get_filename_component(_name "${ts_file}" NAME_WE)
    get_filename_component(_ts "${ts_file}" ABSOLUTE)
    set(_qm "${CMAKE_CURRENT_BINARY_DIR}/${_name}.qm")
    add_custom_command(OUTPUT "${_qm}"
        COMMAND "${LRELEASE_EXECUTABLE}" -silent "${_ts}" -qm "${_qm}"
        DEPENDS "${_ts}"
        VERBATIM)
    add_custom_target(${_name}_qm DEPENDS "${_qm}")
    add_dependencies(${target} ${_name}_qm)
endfunction()
