# Build settings for the project's own targets, never for its consumers:
# warnings, and the sanitizers a preset asks for.
set(MSGREPORT_SANITIZERS "" CACHE STRING
  "Sanitizers to build with, e.g. address,undefined (empty for none)")

function(msgreport_build_settings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE
      -Wall -Wextra -Wpedantic -Wconversion -Wshadow)
    if(MSGREPORT_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(MSGREPORT_SANITIZERS)
      target_compile_options(${target} PRIVATE
        -fsanitize=${MSGREPORT_SANITIZERS} -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
      target_link_options(${target} PRIVATE
        -fsanitize=${MSGREPORT_SANITIZERS})
    endif()
  elseif(MSVC)
    target_compile_options(${target} PRIVATE /W4)
    if(MSGREPORT_WARNINGS_AS_ERRORS)
      target_compile_options(${target} PRIVATE /WX)
    endif()
  endif()
endfunction()
