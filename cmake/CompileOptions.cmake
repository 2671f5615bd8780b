# Options every target of ours shares; third-party code (GoogleTest) keeps its own.

if(SORTWISE_SANITIZE)
  # Applies to everything, GoogleTest included, so that the sanitizers see whole programs.
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

function(sortwise_options target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  if(WIN32)
    target_compile_definitions(${target} PUBLIC UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN
                                                _WIN32_WINNT=0x0601 WINVER=0x0601)
  endif()
endfunction()
