# Options every target of ours shares; third-party code (GoogleTest) keeps its own.

if(SORTWISE_SANITIZE)
  # Applies to everything, GoogleTest included, so that the sanitizers see whole programs.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
  # The exit code of a sanitizer's report: none of our programs exits with it otherwise.
  set(SORTWISE_SANITIZER_EXIT_CODE 99)
endif()

function(sortwise_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  get_target_property(type ${target} TYPE)
  if(SORTWISE_SANITIZE AND type STREQUAL "EXECUTABLE")
    target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/sanitizer_options.cpp)
    target_compile_definitions(${target} PRIVATE SORTWISE_SANITIZER_EXIT_CODE=${SORTWISE_SANITIZER_EXIT_CODE})
  endif()
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                                                _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()
