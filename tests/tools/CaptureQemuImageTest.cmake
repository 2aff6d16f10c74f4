# capture-qemu-image: boots SeaBIOS with an extra OEM string and saves 1 MiB
# of memory that holds a valid SMBIOS entry point. Exits 77 (skipped) when
# QEMU is not installed.
find_program(QEMU qemu-system-x86_64)
if(NOT QEMU)
    message("qemu-system-x86_64 is not installed; skipping")
    cmake_language(EXIT 77)
endif()
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
execute_process(COMMAND "${SCRIPT}" "${WORK_DIR}/capture.img" -smbios "type=11,value=Tarnwick capture test"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 120)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "capture-qemu-image failed (${status}):\n${out}\n${err}")
endif()
file(SIZE "${WORK_DIR}/capture.img" size)
if(NOT size EQUAL 1048576)
    message(FATAL_ERROR "the image is ${size} bytes")
endif()
# "_SM_" at a 16-byte boundary of the F segment (F0000h is 983040), and the
# OEM string somewhere in the table.
file(READ "${WORK_DIR}/capture.img" bios HEX OFFSET 983040 LIMIT 65536)
string(FIND "${bios}" "5f534d5f" at)
math(EXPR misalignment "${at} % 32")
if(at LESS 0 OR NOT misalignment EQUAL 0)
    message(FATAL_ERROR "no _SM_ entry point on a 16-byte boundary in the F segment")
endif()
file(STRINGS "${WORK_DIR}/capture.img" oem REGEX "Tarnwick capture test")
if(NOT oem)
    message(FATAL_ERROR "the OEM string is not in the image")
endif()
