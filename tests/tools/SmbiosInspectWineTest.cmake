# smbios-inspect.exe under wine: `list` reads wine's firmware table through
# the default AutoMode, and `system-id` reads a captured image.
execute_process(COMMAND ${RUNNER} "${TOOL}" list RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("smbios-inspect.exe list:\n${out}${err}")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "list exited with ${status}")
endif()
foreach(expected "Handle  Type  Name" "BIOS Information" "End Of Table")
    string(FIND "${out}" "${expected}" at)
    if(at LESS 0)
        message(FATAL_ERROR "list printed no \"${expected}\"")
    endif()
endforeach()
if(NOT out MATCHES "\n[1-9][0-9]* structures\r?\n$")
    message(FATAL_ERROR "list printed no count of structures")
endif()

execute_process(COMMAND ${RUNNER} "${TOOL}" --image "${IMAGE}" system-id
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
message("smbios-inspect.exe --image ... system-id:\n${out}${err}")
if(NOT status EQUAL 0 OR NOT out MATCHES "^System ID: 0x0286 \\(646\\)")
    message(FATAL_ERROR "system-id of the OEM strings image: exit ${status}")
endif()
