# Script run by the install.subproject test: configures a project that takes
# the Tarnwick tree with add_subdirectory, as a consumer would, and checks
# that it gets Tarnwick's targets without its -Werror and without its
# install rules, and that the library's include path reaches only its public
# headers.
cmake_minimum_required(VERSION 3.25)
foreach(var SOURCE_DIR WORK_DIR GENERATOR)
    if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
        message(FATAL_ERROR "SubprojectTest.cmake needs -D${var}=...")
    endif()
endforeach()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}/consumer")
file(WRITE "${WORK_DIR}/consumer/CMakeLists.txt" "cmake_minimum_required(VERSION 3.25)
project(consumer LANGUAGES CXX)
add_subdirectory(\"${SOURCE_DIR}\" tarnwick)
add_executable(consumer main.cpp)
target_link_libraries(consumer PRIVATE tarnwick::check tarnwick::decode tarnwick::smbios)
")
file(WRITE "${WORK_DIR}/consumer/main.cpp" "#include \"smbios/SmbiosFactory.h\"
#include \"decode/Decode.h\"
#include \"check/Check.h\"
#if __has_include(\"smbios/format/SmbiosFormat.h\") || __has_include(\"launcher/Launcher.h\")
#error the include path of tarnwick::smbios reaches its private headers or the launcher
#endif
#if __has_include(\"tests/support/SmbiosBuilder.h\") || __has_include(\"smbios-inspect/Inspect.h\")
#error the include path of tarnwick::smbios reaches the tests or the tools
#endif
int main() { smbios::resetLibraryFactories(); }
")
execute_process(COMMAND ${CMAKE_COMMAND} -S "${WORK_DIR}/consumer" -B "${WORK_DIR}/build" -G "${GENERATOR}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "configuring the consumer failed (${rc}):\n${out}\n${err}")
endif()

file(STRINGS "${WORK_DIR}/build/CMakeCache.txt" options REGEX "^TARNWICK_(WERROR|INSTALL|BUILD_TESTS):")
foreach(expected "TARNWICK_WERROR:BOOL=OFF" "TARNWICK_INSTALL:BOOL=OFF" "TARNWICK_BUILD_TESTS:BOOL=OFF")
    if(NOT expected IN_LIST options)
        message(FATAL_ERROR "a consumer's cache holds ${options}, not ${expected}")
    endif()
endforeach()
file(GLOB_RECURSE build_files "${WORK_DIR}/build/*.ninja" "${WORK_DIR}/build/*.make" "${WORK_DIR}/build/*flags.make")
foreach(file IN LISTS build_files)
    file(STRINGS "${file}" werror REGEX "-Werror")
    if(werror)
        message(FATAL_ERROR "a consumer's build compiles with -Werror (${file})")
    endif()
endforeach()
file(STRINGS "${WORK_DIR}/build/tarnwick/cmake_install.cmake" installs REGEX "file\\(INSTALL")
file(GLOB_RECURSE install_scripts "${WORK_DIR}/build/tarnwick/*/cmake_install.cmake")
foreach(script IN LISTS install_scripts)
    file(STRINGS "${script}" more REGEX "file\\(INSTALL")
    list(APPEND installs ${more})
endforeach()
if(installs)
    message(FATAL_ERROR "a consumer's install would install Tarnwick's files:\n${installs}")
endif()
# Compiling the consumer's one source is enough to judge its include path.
# Each generator names the object's own target its way.
if(GENERATOR MATCHES "Ninja")
    set(object CMakeFiles/consumer.dir/main.cpp.o)
else()
    set(object main.cpp.o)
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build "${WORK_DIR}/build" --target ${object}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "compiling the consumer failed (${rc}):\n${out}\n${err}")
endif()
message(STATUS "a consumer gets Tarnwick's public headers alone, without -Werror and without its install rules")
