# The shipped program: a static, 32-bit GUI executable, the Win32 helpers of the Wine tests and
# the floor of the Wine benchmark.
enable_language(RC)
# The version as the resource compiler and the manifest take it, beside the core's version header.
configure_file(${CMAKE_SOURCE_DIR}/src/ui/win32/version_resource.h.in ${UNINST_GENERATED_DIR}/version_resource.h @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/src/ui/win32/uninst.manifest.in ${UNINST_GENERATED_DIR}/uninst.manifest @ONLY)
set(UNINST_STATIC_LINK -static -static-libgcc -static-libstdc++)
include(cmake/release_time.cmake)
include(cmake/period.cmake)
uninst_period_library(uninst_core)

file(GLOB UNINST_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
add_executable(uninst WIN32 ${UNINST_WIN32_SOURCES} src/ui/win32/uninst.rc)
file(GLOB UNINST_UI_WIN32_SOURCES CONFIGURE_DEPENDS src/ui/win32/*.cpp)
target_sources(uninst PRIVATE ${UNINST_UI_WIN32_SOURCES})
target_include_directories(uninst PRIVATE src)
target_link_libraries(uninst PRIVATE uninst_core advapi32 shell32 user32 gdi32 kernel32)
uninst_period_program(uninst)
uninst_warnings(uninst)

# uninst-check.exe, the checker for setup authors: the core on the in-memory machine, as a
# console program under the shipped program's rules. The machine's stream printing serves only
# test messages and stays out.
file(GLOB UNINST_CHECK_SOURCES CONFIGURE_DEPENDS src/check/*.cpp src/check/win32/*.cpp src/platform/sim/*.cpp)
list(FILTER UNINST_CHECK_SOURCES EXCLUDE REGEX "transcript_print\\.cpp$")
add_executable(uninst-check ${UNINST_CHECK_SOURCES} src/check/win32/uninst-check.rc)
target_include_directories(uninst-check PRIVATE src)
target_link_libraries(uninst-check PRIVATE uninst_core kernel32)
uninst_period_program(uninst-check)
uninst_warnings(uninst-check)

add_subdirectory(tests/target)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/win32/CMakeLists.txt)
    add_subdirectory(tests/e2e/win32)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/win32/CMakeLists.txt)
    add_subdirectory(bench/win32)
endif()
