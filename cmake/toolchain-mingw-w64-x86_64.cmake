# Cross-build for 64-bit Windows with Debian's mingw-w64 compilers (the
# posix thread model, which GoogleTest needs for std::mutex). Programs
# are linked statically so that they run under wine (or on Windows) without
# the compiler's DLLs; tests run under wine through scripts/wine-run, in a
# wine prefix of the build tree's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TARNWICK_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNWICK_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWICK_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNWICK_MINGW_TRIPLET}-windres)

list(APPEND CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

get_filename_component(_tarnwick_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_tarnwick_root}/scripts/wine-run;--prefix;${CMAKE_BINARY_DIR}/wineprefix")
