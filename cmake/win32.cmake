# The shipped program: a static, 32-bit GUI executable, the Win32 helpers of the Wine tests and
# the floor of the Wine benchmark.
enable_language(RC)
set(UNINST_STATIC_LINK -static -static-libgcc -static-libstdc++)
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

add_subdirectory(tests/target)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/win32/CMakeLists.txt)
    add_subdirectory(tests/e2e/win32)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/win32/CMakeLists.txt)
    add_subdirectory(bench/win32)
endif()
