# Packages that users install: a Debian package on Linux (the library's
# public headers, static libraries, CMake package and pkg-config file,
# smbios-inspect with its manual page and its drop-in for dmidecode,
# smbios-dmidecode, make-memory-image), and on Windows a
# zip of the programs (twklauncher.exe among them) and the library. Made by
# `cpack --preset package` and `cpack --preset windows`.
set(CPACK_PACKAGE_NAME "tarnwick")
set(CPACK_PACKAGE_VENDOR "Tarnwick")
set(CPACK_PACKAGE_CONTACT "Tarnwick developers <developers@tarnwick.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_RESOURCE_FILE_README "${PROJECT_SOURCE_DIR}/README.md")
set(CPACK_STRIP_FILES ON)

if(WIN32)
    set(CPACK_GENERATOR ZIP)
    set(CPACK_PACKAGE_FILE_NAME "tarnwick-${PROJECT_VERSION}-windows-x86_64")
else()
    set(CPACK_GENERATOR DEB)
    set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
    set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
    set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SMBIOS access library and tools")
    set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
        "The Tarnwick SMBIOS library finds and checks the entry point, reads the \
structure table of the running machine or of a file, and walks and decodes it. \
smbios-inspect lists, decodes (as dmidecode does, or as JSON), checks and \
exports SMBIOS tables, and run as smbios-dmidecode takes dmidecode 3.7's \
command line and prints what it prints; make-memory-image writes memory \
images of them.")
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tarnwick.invalid/")
    # The programs' shared libraries, as dpkg-shlibdeps finds them.
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
