# Runs msgcheck's commands on the files in tests/msgcheck_golden and compares
# their exit status, standard output and standard error, byte for byte, with
# the expected ones: wording, line numbers, excerpts, counts and summaries.
# cmake -DMSGCHECK=path [-DEMULATOR=wine] -DDIR=dir [-DUPDATE=ON] -P this-file
# UPDATE=ON rewrites the expected files; read the difference before you
# commit it.
set(cases
  "good|catalogue.txt good.txt"
  "findings|catalogue.txt fr.txt"
  "quiet|-q catalogue.txt fr.txt"
  "unreadable_then_dirty|catalogue.txt missing.txt fr.txt"
  "itself|catalogue.txt catalogue.txt"
  "odd_catalogue|odd_catalogue.txt odd.txt"
  "template|template program_v1.txt"
  "template_of_unreadable_catalogue|template odd_catalogue.txt"
  "coverage|coverage --list --strict program_v1.txt de.txt"
  "coverage_of_rejected_lines|coverage catalogue.txt fr.txt good.txt"
  "merge|merge -o - program_v2.txt de.txt"
  "header|header --namespace app::text program_v2.txt -"
  "header_of_bad_keys|header bad_keys.txt -"
)
set(failed "")
foreach(case IN LISTS cases)
  string(REPLACE "|" ";" parts "${case}")
  list(GET parts 0 name)
  list(GET parts 1 arguments)
  separate_arguments(arguments)
  execute_process(COMMAND ${EMULATOR} ${MSGCHECK} ${arguments}
    WORKING_DIRECTORY ${DIR}
    OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
  set(actual "exit ${status}\n--- stdout\n${out}--- stderr\n${err}")
  string(REPLACE "\r\n" "\n" actual "${actual}")
  set(expected_file ${DIR}/expected/${name}.txt)
  if(UPDATE)
    file(WRITE ${expected_file} "${actual}")
    continue()
  endif()
  file(READ ${expected_file} expected)
  if(NOT actual STREQUAL expected)
    file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/msgcheck-${name}.actual "${actual}")
    list(APPEND failed "${name} (actual output in msgcheck-${name}.actual)")
  endif()
endforeach()
if(failed)
  message(FATAL_ERROR "msgcheck output differs from the expected: ${failed}")
endif()
