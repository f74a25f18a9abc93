# What makes a Windows program start on Windows 95, 98 and NT 4.0 on the processors of their
# time: our own code for the 486, our own start-up code instead of MinGW's, and no prebuilt
# runtime piece that was compiled for a later processor (the check in tests/target proves it).
#   -march=i486                 no CMOV, FCOMI and the like in what we compile
#   -fno-exceptions, -fno-rtti  no unwinder and no exception support from libgcc or libsupc++
#   -fno-threadsafe-statics     no guard functions from libsupc++; the program has one thread
#   -nostartfiles               start-up code of our own (platform/win32/startup.h)
#   --gc-sections               only what is called is linked; the size limit needs it
#   -Oz                         the smallest code; speed is the system calls' anyway
#   -ffile-prefix-map           no path of the build machine in the program
set(UNINST_PERIOD_COMPILE_OPTIONS
    -Oz -ffile-prefix-map=${CMAKE_SOURCE_DIR}/= -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -fno-asynchronous-unwind-tables -ffunction-sections -fdata-sections -fno-unwind-tables -fno-ident)
set(UNINST_PERIOD_LINK_OPTIONS
    -static -nostartfiles -Wl,--gc-sections -Wl,--disable-dynamicbase -Wl,--disable-nxcompat
    -Wl,--disable-reloc-section)
# The shipped build: the 486, and the header of a program for Windows 95 and NT 4.0. The x86-64
# build (a test vehicle where 32-bit Wine cannot run) keeps its own defaults for both.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    # Stack probes force every call to store its arguments instead of pushing them, about a
    # tenth of the code. Without them no frame may reach past the guard page that grows the
    # stack: the frame warning (an error here) keeps every frame to half a page. Nothing needs
    # more than 4-byte alignment. A function called once stays a function, whole: inlined into its
    # caller at -Oz it grows by the copies of what the caller keeps around it, about 300 bytes in
    # all here, and the callers' frames grow with it.
    list(PREPEND UNINST_PERIOD_COMPILE_OPTIONS -march=i486 -mtune=i486 -mpreferred-stack-boundary=2
         -mno-stack-arg-probe -mno-accumulate-outgoing-args -fno-inline-functions-called-once
         -fno-partial-inlining -Wframe-larger-than=2048)
    list(APPEND UNINST_PERIOD_LINK_OPTIONS
        -Wl,--major-os-version,4 -Wl,--minor-os-version,0
        -Wl,--major-subsystem-version,4 -Wl,--minor-subsystem-version,0
        -Wl,--section-alignment,0x1000)
    # Link-time optimisation inlines and drops across files: about a sixth of the program. The
    # code is generated at the link, so the link gets the compile options too, and with them the
    # frame limit and warnings as errors. One partition: with several, GCC 12 fails on this code
    # (an internal error in binds_to_current_def_p).
    # Inlining across files must not pile callees' frames into one past the frame limit.
    list(APPEND UNINST_PERIOD_COMPILE_OPTIONS -flto --param=large-stack-frame-growth=100)
    # The code generated at the link keeps its constants in one section: a section of their own
    # would pad each to four bytes, and link-time optimisation has dropped the unused ones already.
    list(APPEND UNINST_PERIOD_LINK_OPTIONS
        ${UNINST_PERIOD_COMPILE_OPTIONS} -fno-data-sections -flto-partition=one -Wall -Wextra -Werror)
endif()

# Our memory and string functions: no built-ins and no loop-pattern recognition, which would turn
# their loops back into calls to themselves; and outside link-time optimisation, because the
# compiler may add calls to them while it generates the code at the link, after the linker has
# settled which definitions it uses.
set(UNINST_C_STRING_FUNCTIONS ${CMAKE_SOURCE_DIR}/src/platform/win32/c_string_functions.cpp)
set_source_files_properties(${UNINST_C_STRING_FUNCTIONS} PROPERTIES
    COMPILE_OPTIONS "-fno-builtin;-fno-tree-loop-distribute-patterns;-fno-lto")

# The core is compiled for the period targets as a whole: every Windows program of ours uses it.
function(uninst_period_library target)
    target_compile_options(${target} PRIVATE ${UNINST_PERIOD_COMPILE_OPTIONS})
endfunction()

# A shipped program: period flags, the start-up and runtime pieces of our own, and beside it a
# copy that keeps its symbols, so that the check can name the function that holds an
# instruction; the program itself is stripped. The linker and strip both write the header's
# time: the release's (cmake/release_time.cmake), never the clock's.
function(uninst_period_program target)
    target_compile_options(${target} PRIVATE ${UNINST_PERIOD_COMPILE_OPTIONS})
    target_link_options(${target} PRIVATE ${UNINST_PERIOD_LINK_OPTIONS})
    target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src/platform/win32/startup.cpp
                                     ${CMAKE_SOURCE_DIR}/src/platform/win32/runtime_support.cpp
                                     ${UNINST_C_STRING_FUNCTIONS})
    set(releaseTime ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${UNINST_RELEASE_EPOCH})
    set_property(TARGET ${target} PROPERTY CXX_LINKER_LAUNCHER ${releaseTime})
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:${target}> $<TARGET_FILE_DIR:${target}>/symbols/$<TARGET_FILE_NAME:${target}>
        COMMAND ${releaseTime} ${CMAKE_STRIP} --strip-all $<TARGET_FILE:${target}>
        VERBATIM)
endfunction()
