# Test plumbing: GoogleTest from Debian's sources, and sortwise_add_test, which runs a test
# program natively or, for the Windows targets, under Wine in this build's private prefix.

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)

include(GoogleTest)

if(WIN32)
  # Every run of the Windows tests starts from a fresh prefix of its own.
  set(SORTWISE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(SORTWISE_WINE_ENV WINEPREFIX=${SORTWISE_WINEPREFIX} WINEDEBUG=-all
                        "WINEDLLOVERRIDES=mscoree=\;mshtml=")
  add_test(NAME wine.prefix
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix fresh ${SORTWISE_WINEPREFIX})
  add_test(NAME wine.stop
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix stop ${SORTWISE_WINEPREFIX})
  set_tests_properties(wine.prefix PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP wine)
  # Windows that must really be drawn run in a prefix of their own, on Xvfb's display. It is
  # copied from the template that wine.prefix makes.
  set(SORTWISE_DISPLAY_PREFIX ${CMAKE_BINARY_DIR}/wineprefix-display)
  add_test(NAME wine.display_prefix
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix fresh-display ${SORTWISE_DISPLAY_PREFIX})
  add_test(NAME wine.display_stop
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-prefix stop ${SORTWISE_DISPLAY_PREFIX})
  set_tests_properties(wine.display_prefix PROPERTIES FIXTURES_SETUP wine_display FIXTURES_REQUIRED wine)
  set_tests_properties(wine.display_stop PROPERTIES FIXTURES_CLEANUP wine_display)
endif()

# sortwise_add_pe_check(target): the target is a binary of the shipped kind, a PE file of this
# machine type importing no MinGW runtime DLL. Labelled "pe": the check needs no Wine, so it runs
# even where the tests of the target cannot.
function(sortwise_add_pe_check target)
  add_test(NAME ${target}.pe
           COMMAND ${PROJECT_SOURCE_DIR}/scripts/check-pe ${CMAKE_OBJDUMP} $<TARGET_FILE:${target}>
                   ${CMAKE_SYSTEM_PROCESSOR})
  set_tests_properties(${target}.pe PROPERTIES LABELS pe)
endfunction()

# sortwise_add_test(name [DISPLAY] SOURCES ... LIBRARIES ...): a GoogleTest program and its tests.
# DISPLAY (Windows): the program's windows are drawn, on an Xvfb display in the display prefix.
function(sortwise_add_test name)
  cmake_parse_arguments(ARG "DISPLAY" "" "SOURCES;LIBRARIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  sortwise_options(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gmock GTest::gtest_main)
  if(WIN32)
    # One Wine process per program: starting Wine per test case would cost more than the tests.
    if(ARG_DISPLAY)
      add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24"
                                    ${PROJECT_SOURCE_DIR}/scripts/wine-run $<TARGET_FILE:${name}> --gtest_brief=1)
      # One at a time: Wine's desktop process belongs to the display of the program that
      # started it, and each of these runs on a display of its own.
      set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED "wine;wine_display"
                                              ENVIRONMENT "WINEPREFIX=${SORTWISE_DISPLAY_PREFIX}"
                                              RESOURCE_LOCK wine_display)
    else()
      add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
      set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine
                                              ENVIRONMENT "${SORTWISE_WINE_ENV}")
    endif()
    sortwise_add_pe_check(${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
