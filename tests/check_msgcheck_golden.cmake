# Runs msgcheck's commands on the files in tests/msgcheck_golden and compares
# their exit status, standard output and standard error, byte for byte, with
# the expected ones: wording, line numbers, excerpts, counts and summaries.
# cmake -DMSGCHECK=path [-DEMULATOR=wine] -DDIR=dir [-DUPDATE=ON] -P this-file
# UPDATE=ON rewrites the expected files; read the difference before you
# commit it. A case named DIRECTORY/NAME runs in that subdirectory, a
# scenario of its own, and is expected in DIRECTORY/expected/NAME.txt.
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
  "swapped_check|check de.txt program_v1.txt"
  "swapped_coverage|coverage de.txt program_v1.txt"
  "review/check|check catalogue.txt marked.txt"
  "review/coverage_marked|coverage --list --strict catalogue.txt marked.txt"
  "review/coverage_reviewed|coverage --list --strict catalogue.txt reviewed.txt"
  "plural/check|check catalogue.txt pl.txt"
  "plural/coverage|coverage --list catalogue.txt pl.txt"
  "plural/template|template --language ar catalogue.txt"
  "plural/merge|merge -o - catalogue.txt pl.txt"
  "plural/header|header --namespace sync catalogue.txt -"
)
set(failed "")
foreach(case IN LISTS cases)
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
