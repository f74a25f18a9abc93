# The release's version: one line in VERSION, which the program's log, the version resources,
# uninst-check --version and the release zip's name all take.
set(UNINST_VERSION_FILE ${CMAKE_SOURCE_DIR}/VERSION)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${UNINST_VERSION_FILE})
file(STRINGS ${UNINST_VERSION_FILE} UNINST_VERSION LIMIT_COUNT 1)
string(STRIP "${UNINST_VERSION}" UNINST_VERSION)
# A version resource holds four numbers below 65536; a release is named by three of them.
if(NOT UNINST_VERSION MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
    message(FATAL_ERROR "VERSION must hold MAJOR.MINOR.PATCH, not '${UNINST_VERSION}'")
endif()
set(UNINST_VERSION_MAJOR ${CMAKE_MATCH_1})
set(UNINST_VERSION_MINOR ${CMAKE_MATCH_2})
set(UNINST_VERSION_PATCH ${CMAKE_MATCH_3})
foreach(part IN ITEMS ${UNINST_VERSION_MAJOR} ${UNINST_VERSION_MINOR} ${UNINST_VERSION_PATCH})
    if(part GREATER 65535)
        message(FATAL_ERROR "VERSION: each number must be below 65536, not '${UNINST_VERSION}'")
    endif()
endforeach()

set(UNINST_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/src/app/version.h.in ${UNINST_GENERATED_DIR}/app/version.h @ONLY)
