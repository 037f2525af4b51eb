# Compares the functions a shared library exports with the expected list.
# Usage: cmake -DNM=nm -DLIBRARY=lib.so -DEXPECTED=list.txt -P this-file
execute_process(
  COMMAND ${NM} -D --defined-only -C ${LIBRARY}
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()

string(REPLACE "\n" ";" lines "${listing}")
set(exported "")
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
