# Makes GoogleTest available as GTest::gtest, GTest::gtest_main and
# GTest::gmock: the installed package for native builds, and a build from
# Debian's GoogleTest sources for cross builds.
set(TARNWICK_GOOGLETEST_SOURCE_DIR "/usr/src/googletest" CACHE PATH
    "GoogleTest sources, built when cross-compiling")

if(CMAKE_CROSSCOMPILING)
    if(NOT EXISTS "${TARNWICK_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
        message(FATAL_ERROR "No GoogleTest sources at ${TARNWICK_GOOGLETEST_SOURCE_DIR} "
                            "(install Debian's googletest package: scripts/install-deps)")
    endif()
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
    add_subdirectory("${TARNWICK_GOOGLETEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
else()
    find_package(GTest REQUIRED)
endif()

foreach(_tarnwick_gtest_target gtest gtest_main gmock)
    if(NOT TARGET GTest::${_tarnwick_gtest_target})
        add_library(GTest::${_tarnwick_gtest_target} ALIAS ${_tarnwick_gtest_target})
    endif()
endforeach()
