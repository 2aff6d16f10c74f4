# Script run by the install.client test: installs the build tree into a
# scratch prefix, builds the client through find_package(tarnwick) and
# through pkg-config, and runs both builds.
foreach(var BUILD_DIR WORK_DIR CLIENT_SOURCE_DIR GENERATOR CXX_COMPILER)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "RunInstallTest.cmake needs -D${var}=...")
    endif()
endforeach()

function(run_checked what)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${what} failed (${rc}):\n${out}\n${err}")
    endif()
    set(run_output "${out}" PARENT_SCOPE)
endfunction()

function(expect_client_output program)
    run_checked("running ${program}" ${RUNNER} ${program})
    if(NOT run_output MATCHES "tarnwick client ok")
        message(FATAL_ERROR "${program} printed:\n${run_output}")
    endif()
endfunction()

file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")

run_checked("cmake --install" ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
foreach(header memory/MemoryFile.h memory/IMemory.h memory/MemoryFactory.h memory/MemoryOsSpecific.h
               factory/IFactory.h factory/TFactory.h smbios/Exception.h smbios/Smbios.h smbios/SmbiosFactory.h
               smbios/SmbiosItem.h smbios/SmbiosIterator.h smbios/SmbiosStrategy.h smbios/SmbiosTable.h
               smbios/SmbiosTableEntryPoint.h smbios/SmbiosWorkaround.h smbios/SystemId.h)
    if(NOT EXISTS "${prefix}/include/tarnwick/${header}")
        message(FATAL_ERROR "${header} was not installed under include/tarnwick")
    endif()
endforeach()

# The library's own compile options that a client must share (sanitizers).
set(client_flags "")
if(SANITIZE_FLAGS)
    set(client_flags "${SANITIZE_FLAGS}")
endif()

set(configure_args -S "${CLIENT_SOURCE_DIR}" -B "${WORK_DIR}/cmake-client" -G "${GENERATOR}"
    "-DCMAKE_PREFIX_PATH=${prefix}" "-DCMAKE_CXX_FLAGS=${client_flags}")
if(TOOLCHAIN_FILE)
    list(APPEND configure_args "-DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE}" "-DCMAKE_FIND_ROOT_PATH=${prefix}")
endif()
run_checked("configuring the client" ${CMAKE_COMMAND} ${configure_args})
run_checked("building the client" ${CMAKE_COMMAND} --build "${WORK_DIR}/cmake-client")
set(exe_suffix "")
if(TOOLCHAIN_FILE)
    set(exe_suffix ".exe")
endif()
expect_client_output("${WORK_DIR}/cmake-client/tarnwick_client${exe_suffix}")

find_program(PKG_CONFIG pkg-config)
if(NOT PKG_CONFIG)
    message(FATAL_ERROR "pkg-config is missing (run scripts/install-deps)")
endif()
file(GLOB pc_file "${prefix}/lib*/pkgconfig/tarnwick.pc" "${prefix}/lib/*/pkgconfig/tarnwick.pc")
list(GET pc_file 0 pc_file)
get_filename_component(pc_dir "${pc_file}" DIRECTORY)
set(ENV{PKG_CONFIG_PATH} "${pc_dir}")
run_checked("pkg-config" ${PKG_CONFIG} --static --cflags --libs tarnwick)
string(STRIP "${run_output}" pc_flags)
separate_arguments(pc_flags UNIX_COMMAND "${pc_flags}")
separate_arguments(extra_flags UNIX_COMMAND "${client_flags}")
set(pc_program "${WORK_DIR}/pkg-config-client${exe_suffix}")
set(link_static "")
if(TOOLCHAIN_FILE)
    set(link_static -static)
endif()
run_checked("building the client with pkg-config" ${CXX_COMPILER} -std=c++17 ${extra_flags}
    "${CLIENT_SOURCE_DIR}/client.cpp" -o "${pc_program}" ${pc_flags} ${link_static})
expect_client_output("${pc_program}")
