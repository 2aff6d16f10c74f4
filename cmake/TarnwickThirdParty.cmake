# nlohmann/json, which the decoding layer, smbios-inspect and their tests
# use: header-only, from Debian's nlohmann-json3-dev, found through its CMake
# package. `tarnwick_json` is what our targets link (privately: nothing of it
# reaches an installed target's users).
#
# The package lives with the build machine's headers (/usr/include). A cross
# build takes that folder after the target's own system headers, so that no
# header of the build machine's C library can stand in for the target's.
if(CMAKE_CROSSCOMPILING)
    find_package(nlohmann_json 3.2 CONFIG QUIET NO_CMAKE_FIND_ROOT_PATH)
else()
    find_package(nlohmann_json 3.2 CONFIG QUIET)
endif()
if(NOT nlohmann_json_FOUND)
    message(FATAL_ERROR "nlohmann/json is missing: run scripts/install-deps (nlohmann-json3-dev)")
endif()

add_library(tarnwick_json INTERFACE)
if(CMAKE_CROSSCOMPILING)
    get_target_property(_tarnwick_json_include nlohmann_json::nlohmann_json INTERFACE_INCLUDE_DIRECTORIES)
    foreach(folder IN LISTS _tarnwick_json_include)
        target_compile_options(tarnwick_json INTERFACE "-idirafter" "${folder}")
    endforeach()
    target_compile_definitions(tarnwick_json INTERFACE
        $<TARGET_PROPERTY:nlohmann_json::nlohmann_json,INTERFACE_COMPILE_DEFINITIONS>)
else()
    target_link_libraries(tarnwick_json INTERFACE nlohmann_json::nlohmann_json)
endif()
