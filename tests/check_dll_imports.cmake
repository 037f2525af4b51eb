# Fails if a DLL imports anything but the system's own DLLs, that is, if it
# needs a runtime DLL of the compiler beside it.
# cmake -DOBJDUMP=objdump -DLIBRARY=lib.dll -P this-file
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${listing}")
set(foreign "")
foreach(import IN LISTS imports)
  string(REPLACE "DLL Name: " "" name "${import}")
  message(STATUS "imports ${name}")
  string(TOLOWER "${name}" lower)
  if(NOT lower MATCHES "^(kernel32|msvcrt|user32|advapi32|ntdll)\\.dll$")
    list(APPEND foreign "${name}")
  endif()
endforeach()
if(NOT imports)
  message(FATAL_ERROR "no imports found in ${LIBRARY}")
endif()
if(foreign)
  message(FATAL_ERROR "${LIBRARY} needs beside it: ${foreign}")
endif()
