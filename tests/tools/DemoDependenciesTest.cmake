# make demo installs only what building smbios-inspect needs: the demo's
# package list, and a configuration without the tests that asks for nothing
# else (no GoogleTest, no Google Benchmark).
execute_process(COMMAND "${INSTALL_DEPS}" --demo --list RESULT_VARIABLE status OUTPUT_VARIABLE listed)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "install-deps --demo --list failed with ${status}")
endif()
string(REPLACE "\n" ";" listed "${listed}")
list(REMOVE_ITEM listed "")
if(NOT listed STREQUAL "cmake;ninja-build;g++;nlohmann-json3-dev")
    message(FATAL_ERROR "the demo installs: ${listed}")
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}" -G Ninja -DCMAKE_BUILD_TYPE=Release
                        -DTARNWICK_BUILD_TESTS=OFF
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "configuring without the tests failed:\n${out}\n${err}")
endif()
file(STRINGS "${WORK_DIR}/CMakeCache.txt" asked REGEX "^(GTest|GMock|gtest|benchmark)")
if(asked)
    message(FATAL_ERROR "the demo's configuration looks for test packages: ${asked}")
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
