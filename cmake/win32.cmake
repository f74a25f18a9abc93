# The shipped program: a static, 32-bit GUI executable, the Win32 helpers of the Wine tests and
# the floor of the Wine benchmark.
enable_language(RC)
# The version as the resource compiler and the manifest take it, beside the core's version header.
configure_file(${CMAKE_SOURCE_DIR}/src/ui/win32/version_resource.h.in ${UNINST_GENERATED_DIR}/version_resource.h @ONLY)
# The manifest's comments and indentation are for its readers here; the program carries it
# without them (the resources take a file block fewer).
configure_file(${CMAKE_SOURCE_DIR}/src/ui/win32/uninst.manifest.in ${UNINST_GENERATED_DIR}/uninst.manifest.in @ONLY)
file(READ ${UNINST_GENERATED_DIR}/uninst.manifest.in UNINST_MANIFEST)
string(REGEX REPLACE "<!--([^-]|-[^-])*-->" "" UNINST_MANIFEST "${UNINST_MANIFEST}")
string(REGEX REPLACE ">[ \t\r\n]+<" "><" UNINST_MANIFEST "${UNINST_MANIFEST}")
file(CONFIGURE OUTPUT ${UNINST_GENERATED_DIR}/uninst.manifest CONTENT "${UNINST_MANIFEST}" @ONLY)
set(UNINST_STATIC_LINK -static -static-libgcc -static-libstdc++)
include(cmake/release_time.cmake)
include(cmake/period.cmake)
uninst_period_library(uninst_core)

uninst_period_library(uninst_languages)
uninst_period_library(uninst_languages_english)

# The shipped program carries every language; uninst-en.exe, built beside it and not shipped, is
# the English-only build, whose size the target check compares with it.
file(GLOB UNINST_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp src/ui/win32/*.cpp)
# uninst_period_program adds the start-up and runtime pieces to each program.
list(FILTER UNINST_WIN32_SOURCES EXCLUDE REGEX "/(startup|runtime_support|c_string_functions)\\.cpp$")
add_library(uninst_windows OBJECT ${UNINST_WIN32_SOURCES})
target_link_libraries(uninst_windows PUBLIC uninst_core)
uninst_period_library(uninst_windows)
uninst_warnings(uninst_windows)
# windres tells the build of no header it reads: the resources are compiled again when the
# version or the manifest that they take from the generated folder changes.
set_source_files_properties(src/ui/win32/uninst.rc src/check/win32/uninst-check.rc PROPERTIES
    OBJECT_DEPENDS "${UNINST_GENERATED_DIR}/version_resource.h;${UNINST_GENERATED_DIR}/uninst.manifest")
foreach(program IN ITEMS uninst uninst-en)
    add_executable(${program} WIN32 $<TARGET_OBJECTS:uninst_windows> src/ui/win32/uninst.rc)
    target_include_directories(${program} PRIVATE src)
    uninst_period_program(${program})
    uninst_warnings(${program})
endforeach()
target_link_libraries(uninst PRIVATE uninst_core uninst_languages advapi32 shell32 user32 gdi32 kernel32)
target_link_libraries(uninst-en PRIVATE uninst_core uninst_languages_english advapi32 shell32 user32 gdi32 kernel32)

# uninst-check.exe, the checker for setup authors: the core on the in-memory machine, as a
# console program under the shipped program's rules. The machine's stream printing serves only
# test messages and stays out.
file(GLOB UNINST_CHECK_SOURCES CONFIGURE_DEPENDS src/check/*.cpp src/check/win32/*.cpp src/platform/sim/*.cpp)
list(FILTER UNINST_CHECK_SOURCES EXCLUDE REGEX "transcript_print\\.cpp$")
add_executable(uninst-check ${UNINST_CHECK_SOURCES} src/check/win32/uninst-check.rc)
target_include_directories(uninst-check PRIVATE src)
# Its report is English: it carries no other language.
target_link_libraries(uninst-check PRIVATE uninst_core uninst_languages_english kernel32)
uninst_period_program(uninst-check)
uninst_warnings(uninst-check)

add_subdirectory(tests/target)

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/e2e/win32/CMakeLists.txt)
    add_subdirectory(tests/e2e/win32)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/win32/CMakeLists.txt)
    add_subdirectory(bench/win32)
endif()
