# Runs msgcheck's commands on the files in tests/msgcheck_golden and compares
# their exit status, standard output and standard error, byte for byte, with
# the expected ones: wording, line numbers, excerpts, counts and summaries.
# cmake -DMSGCHECK=path [-DEMULATOR=wine] -DDIR=dir [-DCASE=name] [-DUPDATE=ON]
#   -P this-file
# CASE runs that one case, so that ctest names the scenario that broke; all
# run without it. UPDATE=ON rewrites the expected files; read the difference
# before you commit it. A case named DIRECTORY/NAME runs in that
# subdirectory, a scenario of its own, and is expected in
# DIRECTORY/expected/NAME.txt.
include(${CMAKE_CURRENT_LIST_DIR}/msgcheck_golden_cases.cmake)
if(DEFINED CASE)
  list(FILTER msgcheck_golden_cases INCLUDE REGEX "^${CASE}[|]")
  if(NOT msgcheck_golden_cases)
    message(FATAL_ERROR "no golden case named ${CASE}")
  endif()
endif()
set(failed "")
foreach(case IN LISTS msgcheck_golden_cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 arguments)
  separate_arguments(arguments)
  get_filename_component(scenario "${name}" DIRECTORY)
  get_filename_component(base "${name}" NAME)
  string(REPLACE "/" "_" flat_name "${name}")
  execute_process(COMMAND ${EMULATOR} ${MSGCHECK} ${arguments}
    WORKING_DIRECTORY ${DIR}/${scenario}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  set(actual "exit ${status}\n--- stdout\n${out}--- stderr\n${err}")
  string(REPLACE "\r\n" "\n" actual "${actual}")
  set(expected_file ${DIR}/${scenario}/expected/${base}.txt)
  if(UPDATE)
    file(WRITE ${expected_file} "${actual}")
    continue()
  endif()
  file(READ ${expected_file} expected)
  if(NOT actual STREQUAL expected)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/msgcheck-${flat_name}.actual
      "${actual}")
    list(APPEND failed
      "${name} (actual output in msgcheck-${flat_name}.actual)")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "msgcheck output differs from the expected: ${failed}")
endif()
