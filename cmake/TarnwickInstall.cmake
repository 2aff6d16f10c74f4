# Install and export rules: the library, its public headers under
# include/tarnwick (so clients include "memory/MemoryFile.h" as in the tree),
# a CMake package (find_package(tarnwick) gives tarnwick::smbios) and a
# pkg-config file.
include(CMakePackageConfigHelpers)

set(TARNWICK_CMAKE_DIR "${CMAKE_INSTALL_LIBDIR}/cmake/tarnwick")

install(TARGETS tarnwick_smbios tarnwick_decode tarnwick_check
    EXPORT tarnwickTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    FILE_SET HEADERS DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tarnwick)

install(EXPORT tarnwickTargets
    NAMESPACE tarnwick::
    DESTINATION ${TARNWICK_CMAKE_DIR})

configure_package_config_file(
    "${PROJECT_SOURCE_DIR}/cmake/tarnwickConfig.cmake.in"
    "${PROJECT_BINARY_DIR}/tarnwickConfig.cmake"
    INSTALL_DESTINATION ${TARNWICK_CMAKE_DIR})
write_basic_package_version_file(
    "${PROJECT_BINARY_DIR}/tarnwickConfigVersion.cmake"
    COMPATIBILITY SameMajorVersion)
install(FILES
    "${PROJECT_BINARY_DIR}/tarnwickConfig.cmake"
    "${PROJECT_BINARY_DIR}/tarnwickConfigVersion.cmake"
    DESTINATION ${TARNWICK_CMAKE_DIR})

# Libraries the static library needs from the platform, for pkg-config users.
set(TARNWICK_PC_LIBS_PRIVATE "")
if(WIN32)
    set(TARNWICK_PC_LIBS_PRIVATE "-lole32 -loleaut32 -lwbemuuid -luuid")
endif()
# The prefix is found relative to the .pc file (one ".." for each folder of
# lib/pkgconfig), so an installed tree can move; an absolute library folder
# has only the prefix it was configured with.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(TARNWICK_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
    string(REGEX REPLACE "[^/]+" ".." _tarnwick_up "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
    set(TARNWICK_PC_PREFIX "\${pcfiledir}/${_tarnwick_up}")
endif()
configure_file("${PROJECT_SOURCE_DIR}/cmake/tarnwick.pc.in" "${PROJECT_BINARY_DIR}/tarnwick.pc" @ONLY)
install(FILES "${PROJECT_BINARY_DIR}/tarnwick.pc" DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
