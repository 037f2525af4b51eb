# Compares the functions a shared library exports with the expected list.
# ELF:  cmake -DNM=nm -DLIBRARY=lib.so -DEXPECTED=list.txt -P this-file
# DLL:  cmake -DOBJDUMP=objdump -DCXXFILT=c++filt -DLIBRARY=lib.dll
#             -DEXPECTED=list.txt -P this-file
set(exported "")
if(OBJDUMP)
  execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY}
    OUTPUT_VARIABLE listing RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} failed on ${LIBRARY}")
  endif()
  # The export table lists "[ N] mangled-name" lines after its heading.
  string(REPLACE "\n" ";" lines "${listing}")
  set(in_table FALSE)
  set(mangled "")
  foreach(line IN LISTS lines)
    if(line MATCHES "Ordinal/Name Pointer")
      set(in_table TRUE)
    elseif(in_table AND line MATCHES "^[ \t]*\\[ *[0-9]+\\] (.+)$")
      string(APPEND mangled "${CMAKE_MATCH_1}\n")
    elseif(in_table)
      set(in_table FALSE)
    endif()
  endforeach()
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/exports-mangled.txt "${mangled}")
  execute_process(COMMAND ${CXXFILT}
    INPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/exports-mangled.txt
    OUTPUT_VARIABLE demangled RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${CXXFILT} failed")
  endif()
  string(REPLACE "\n" ";" exported "${demangled}")
  list(REMOVE_ITEM exported "")
else()
  execute_process(
    COMMAND ${NM} -D --defined-only -C ${LIBRARY}
    OUTPUT_VARIABLE listing
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    # "ADDRESS TYPE NAME"; the linker's own absolute symbols are not exports.
    if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) (.+)$")
      set(type "${CMAKE_MATCH_1}")
      set(name "${CMAKE_MATCH_2}")
      if(NOT type STREQUAL "A")
        list(APPEND exported "${name}")
      endif()
    endif()
  endforeach()
endif()
# Constructors and destructors appear once per variant (complete, base).
list(REMOVE_DUPLICATES exported)
list(SORT exported)

file(STRINGS ${EXPECTED} expected)
list(SORT expected)

set(missing ${expected})
list(REMOVE_ITEM missing ${exported})
set(unexpected ${exported})
list(REMOVE_ITEM unexpected ${expected})
if(missing OR unexpected)
  list(JOIN missing "\n  " missing_text)
  list(JOIN unexpected "\n  " unexpected_text)
  message(FATAL_ERROR
    "exported symbols differ from ${EXPECTED}\n"
    "missing:\n  ${missing_text}\nunexpected:\n  ${unexpected_text}")
endif()
list(LENGTH exported count)
message(STATUS "${count} exported functions, as expected")
