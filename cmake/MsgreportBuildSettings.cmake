# Build settings for the project's own targets, never for its consumers:
# warnings, the sanitizers a preset asks for, and on MinGW its C99 printf.
set(MSGREPORT_SANITIZERS "" CACHE STRING
  "Sanitizers to build with, e.g. address,undefined (empty for none)")

function(msgreport_build_settings target)
  if(MINGW)
    # MinGW's own printf, not the Microsoft C runtime's older one, which lacks
    # hh, j, z and t and reads %Lf as a double: the format check accepts the
    # C99 conversions, so the formatter must understand all of them.
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=1)
  endif()
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
