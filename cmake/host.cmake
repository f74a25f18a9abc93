# Host build: the core against the in-memory machine, for unit tests, fuzzing and benchmarks.
option(UNINST_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
option(UNINST_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
option(UNINST_TESTS "Build the unit tests" ON)

set(UNINST_SANITIZER_OPTIONS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
if(UNINST_SANITIZE)
    add_compile_options(${UNINST_SANITIZER_OPTIONS})
    add_link_options(-fsanitize=address,undefined)
    # The core target exists before this file is read, so the directory's options miss it.
    target_compile_options(uninst_core PRIVATE ${UNINST_SANITIZER_OPTIONS})
endif()

file(GLOB UNINST_SIM_SOURCES CONFIGURE_DEPENDS src/platform/sim/*.cpp)
add_library(uninst_sim STATIC ${UNINST_SIM_SOURCES})
target_link_libraries(uninst_sim PUBLIC uninst_core uninst_languages)
uninst_warnings(uninst_sim)

# uninst-check, the checker for setup authors: the core on the in-memory machine.
file(GLOB UNINST_CHECK_SOURCES CONFIGURE_DEPENDS src/check/*.cpp)
add_library(uninst_check STATIC ${UNINST_CHECK_SOURCES})
target_link_libraries(uninst_check PUBLIC uninst_sim)
uninst_warnings(uninst_check)
add_executable(uninst-check src/check/host/main.cpp)
target_link_libraries(uninst-check PRIVATE uninst_check)
uninst_warnings(uninst-check)
# cmake --install build/host --prefix DIR: the checker for a setup author's own build machine.
install(TARGETS uninst-check RUNTIME DESTINATION bin)

enable_testing()
if(UNINST_TESTS)
    add_subdirectory(tests/unit)
    add_subdirectory(tests/e2e)
    add_subdirectory(tests/check)
    add_subdirectory(tests/target)
    add_subdirectory(tests/dist)
    add_subdirectory(bench)
endif()
if(UNINST_FUZZ)
    # Coverage feedback from the code under test, not only from the targets' own files.
    target_compile_options(uninst_core PRIVATE -fsanitize=fuzzer-no-link)
    # The in-memory machine only plays the system: edge coverage of its paths is enough. The
    # comparison tracing that guides mutations through the parsers would only slow its byte
    # loops over paths, which every input of the checker's target runs many times.
    target_compile_options(uninst_sim PRIVATE -fsanitize=fuzzer-no-link -fno-sanitize-coverage=trace-cmp)
    target_compile_options(uninst_check PRIVATE -fsanitize=fuzzer-no-link)
    add_subdirectory(tests/fuzz)
endif()

