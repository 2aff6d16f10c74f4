# Compiler settings shared by every Tarnwick target: warnings (as errors in
# the project's own builds), and the sanitizers of the asan preset.
set(TARNWICK_SANITIZE "" CACHE STRING "Sanitizers to build with, for example address;undefined")
# A project that builds Tarnwick as a subproject gets its warnings but not
# its -Werror, which a newer compiler's new warning would turn into a broken
# build, and no install rules of ours among its own. The presets turn both on.
option(TARNWICK_WERROR "Treat compiler warnings as errors" ${PROJECT_IS_TOP_LEVEL})
option(TARNWICK_INSTALL "Generate the install rules and the CMake package" ${PROJECT_IS_TOP_LEVEL})
option(TARNWICK_FUZZ "Build the fuzz targets (clang's libFuzzer)" OFF)
option(TARNWICK_BENCH "Build the benchmarks (Google Benchmark)" OFF)

if(TARNWICK_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "The fuzz targets need clang (the fuzz preset sets it)")
    endif()
    # Everything is instrumented for coverage; only the targets link libFuzzer.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

if(TARNWICK_SANITIZE)
    list(JOIN TARNWICK_SANITIZE "," _tarnwick_sanitizers)
    # Applies to everything in the build, tests and their support included,
    # so that instrumented and plain code never mix in one program.
    add_compile_options(-fsanitize=${_tarnwick_sanitizers} -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_link_options(-fsanitize=${_tarnwick_sanitizers})
endif()

function(tarnwick_target_defaults target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra $<$<BOOL:${TARNWICK_WERROR}>:-Werror>)
    endif()
endfunction()
