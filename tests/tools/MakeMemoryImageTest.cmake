# make-memory-image: converts a dump, a raw table and an RSMB buffer into
# 1 MiB images, and answers usage errors with exit status 2.
file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")

function(convert expected_status)
    execute_process(COMMAND ${RUNNER} "${TOOL}" ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL expected_status)
        message(FATAL_ERROR "make-memory-image ${ARGN}: exit ${status}, expected ${expected_status}\n${out}\n${err}")
    endif()
    set(tool_output "${out}${err}" PARENT_SCOPE)
endfunction()

foreach(case "dump-bin/VMWare.bin;vmware.img" "raw/HyperV.DMI;hyperv.img")
    list(GET case 0 input)
    list(GET case 1 output)
    convert(0 "${DATA_DIR}/real-smbios/${input}" "${WORK_DIR}/${output}")
    file(SIZE "${WORK_DIR}/${output}" size)
    if(NOT size EQUAL 1048576)
        message(FATAL_ERROR "${output} is ${size} bytes, not 1 MiB")
    endif()
endforeach()
convert(0 --format rsmb --entry-point 0xFFFD0 --table-address 0x20000
        "${DATA_DIR}/real-smbios/rsmb/AMD-desktop-3.2.rsmb" "${WORK_DIR}/amd.img")
# A table of version 3.2 gets the 64-bit entry point.
file(READ "${WORK_DIR}/amd.img" anchor OFFSET 1048528 LIMIT 5)  # FFFD0h
if(NOT anchor STREQUAL "_SM3_")
    message(FATAL_ERROR "no SMBIOS 3 entry point at FFFD0h in amd.img")
endif()

convert(0 --help)
if(NOT tool_output MATCHES "Usage: make-memory-image")
    message(FATAL_ERROR "--help printed:\n${tool_output}")
endif()
convert(2 --format bogus a b)
convert(2 only-one-file)
convert(1 "${DATA_DIR}/no-such-file" "${WORK_DIR}/x.img")
