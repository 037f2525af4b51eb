# Build settings for the project's own targets, never for its consumers:
# warnings, the sanitizers a preset asks for, and on MinGW its C99 printf and
# how the runtime is linked.
msgreport_setting(MSGREPORT_SANITIZERS STRING
  "Sanitizers to build with, e.g. address,undefined (empty for none)" "")
# Linked in, the runtime makes a DLL that needs nothing beside it, but each
# module then has an unwinder of its own, and no exception crosses between
# the DLL and the program: one thrown by a callback, or an allocation
# failure in the library, ends the process. Shared, libgcc_s, libstdc++ and
# libwinpthread go beside the DLL, and exceptions cross.
msgreport_setting(MSGREPORT_MINGW_STATIC_RUNTIME BOOL
  "On MinGW, link the C++ runtime into the DLL and the programs" ON)

function(msgreport_build_settings target)
  if(MINGW)
    # MinGW's own printf, not the Microsoft C runtime's older one, which lacks
    # hh, j, z and t and reads %Lf as a double: the format check accepts the
    # C99 conversions, so the formatter must understand all of them.
    target_compile_definitions(${target} PRIVATE __USE_MINGW_ANSI_STDIO=1)
    if(MSGREPORT_MINGW_STATIC_RUNTIME)
      target_link_options(${target} PRIVATE
        -static-libgcc -static-libstdc++ -static)
    else()
      target_link_options(${target} PRIVATE -shared-libgcc)
    endif()
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

# The MinGW runtime DLLs that a shared-runtime build needs beside its
# programs, as the compiler finds them.
function(msgreport_mingw_runtime_dlls result)
  set(found "")
  foreach(name libgcc_s_dw2-1.dll libgcc_s_seh-1.dll libgcc_s_sjlj-1.dll
               libstdc++-6.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${name}
      OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(IS_ABSOLUTE "${path}" AND EXISTS "${path}")
      list(APPEND found "${path}")
    endif()
  endforeach()
  set(${result} "${found}" PARENT_SCOPE)
endfunction()
