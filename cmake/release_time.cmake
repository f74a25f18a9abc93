# The time that the Windows programs carry in their headers: the release's date in CHANGELOG.md
# ("## 1.1.0 - 2026-12-08"), midnight UTC, so that two builds of one commit give the same bytes
# wherever and whenever they are built. A version without a dated entry carries none (zero).
# The linker and strip take it from SOURCE_DATE_EPOCH; without it each writes the clock's time.
set(UNINST_CHANGELOG_FILE ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${UNINST_CHANGELOG_FILE})
file(STRINGS ${UNINST_CHANGELOG_FILE} UNINST_RELEASE_HEADING
     REGEX "^## ${UNINST_VERSION}[ \t]+-[ \t]+[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9][ \t]*$")
set(UNINST_RELEASE_EPOCH 0)
if(UNINST_RELEASE_HEADING MATCHES "([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])")
    # Days since 1970-01-01 of a date in the proleptic Gregorian calendar, counted from March so
    # that the leap day ends the year.
    math(EXPR year "${CMAKE_MATCH_1}")
    math(EXPR month "1${CMAKE_MATCH_2} - 100")
    math(EXPR day "1${CMAKE_MATCH_3} - 100")
    if(month LESS_EQUAL 2)
        math(EXPR year "${year} - 1")
        math(EXPR month "${month} + 9")
    else()
        math(EXPR month "${month} - 3")
    endif()
    math(EXPR era "${year} / 400")
    math(EXPR yearOfEra "${year} - ${era} * 400")
    math(EXPR dayOfYear "(153 * ${month} + 2) / 5 + ${day} - 1")
    math(EXPR dayOfEra "${yearOfEra} * 365 + ${yearOfEra} / 4 - ${yearOfEra} / 100 + ${dayOfYear}")
    math(EXPR UNINST_RELEASE_EPOCH "(${era} * 146097 + ${dayOfEra} - 719468) * 86400")
endif()
