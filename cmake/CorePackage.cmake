# The installed package: find_package(Core) gives the imported target Core::Core, and pkg-config
# gives "core". Both are relocatable: they find the prefix from where they lie.
include(CMakePackageConfigHelpers)

set(CORE_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Core)

install(EXPORT CoreTargets NAMESPACE Core:: DESTINATION ${CORE_INSTALL_CMAKEDIR})
configure_package_config_file(cmake/CoreConfig.cmake.in
    ${PROJECT_BINARY_DIR}/CoreConfig.cmake
    INSTALL_DESTINATION ${CORE_INSTALL_CMAKEDIR}
    PATH_VARS CORE_INSTALL_TRANSLATIONSDIR)
# A new major version may break the interface, so only the major version the application asked
# for is accepted.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/CoreConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/CoreConfig.cmake ${PROJECT_BINARY_DIR}/CoreConfigVersion.cmake
    DESTINATION ${CORE_INSTALL_CMAKEDIR})

# pkg-config expands ${pcfiledir} to the directory of the .pc file, wherever it was installed.
file(RELATIVE_PATH CORE_PC_PREFIX_FROM_PCFILEDIR
    /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
string(REGEX REPLACE "/$" "" CORE_PC_PREFIX_FROM_PCFILEDIR "${CORE_PC_PREFIX_FROM_PCFILEDIR}")
configure_file(cmake/core.pc.in ${PROJECT_BINARY_DIR}/core.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/core.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
