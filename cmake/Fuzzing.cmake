# The harnesses of fuzz/, built two ways from the same sources:
# - SORTWISE_FUZZ (the "fuzz" preset, clang): everything of ours gets libFuzzer's coverage
#   instrumentation with AddressSanitizer and UndefinedBehaviorSanitizer, and each harness
#   becomes a libFuzzer program <name>_fuzz;
# - otherwise (the native test build): each harness is linked with a replay main that feeds it
#   every file of fuzz/corpus/<name>, one CTest test per harness, so the corpora guard against
#   regressions in every `make test`.
option(SORTWISE_FUZZ "Build the libFuzzer harnesses (needs clang)" OFF)

if(SORTWISE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "SORTWISE_FUZZ needs clang (libFuzzer): configure with the fuzz preset")
  endif()
  # Applies to every target, so that libFuzzer sees coverage of the code under test.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

# sortwise_add_fuzzer(name LIBRARIES ...): fuzz/<name>_fuzz.cpp as a libFuzzer program, or as
# the replay test "fuzz.<name>" over fuzz/corpus/<name>.
function(sortwise_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "LIBRARIES" ${ARGN})
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/${name}_fuzz.cpp)
  if(SORTWISE_FUZZ)
    set(target ${name}_fuzz)
    add_executable(${target} ${source})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    set(target ${name}_fuzz_replay)
    add_executable(${target} ${source} ${CMAKE_CURRENT_SOURCE_DIR}/replay_main.cpp)
    add_test(NAME fuzz.${name} COMMAND ${target} ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  endif()
  sortwise_options(${target})
  target_link_libraries(${target} PRIVATE ${ARG_LIBRARIES})
endfunction()
