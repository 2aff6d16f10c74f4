# The decoding layer and smbios-inspect use nlohmann/json, a header-only
# library from Debian's packages. A cross build takes just its header folder, not the rest of the
# build machine's /usr/include.
set(TARNWICK_THIRD_PARTY_INCLUDE "${CMAKE_BINARY_DIR}/third-party/include")
foreach(header_folder nlohmann)
    find_path(TARNWICK_${header_folder}_ROOT ${header_folder} PATHS /usr/include /usr/local/include
              NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(NOT TARNWICK_${header_folder}_ROOT)
        message(FATAL_ERROR "The ${header_folder} headers are missing: run scripts/install-deps "
                            "(nlohmann-json3-dev)")
    endif()
    file(MAKE_DIRECTORY "${TARNWICK_THIRD_PARTY_INCLUDE}")
    file(CREATE_LINK "${TARNWICK_${header_folder}_ROOT}/${header_folder}"
         "${TARNWICK_THIRD_PARTY_INCLUDE}/${header_folder}" SYMBOLIC)
endforeach()

