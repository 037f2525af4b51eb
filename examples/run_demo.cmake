# Runs the demo twice, then msgcheck's check and coverage, showing what each
# prints. The demo's texts follow the locale: a French one, whatever the
# user's, picks its French file.
set(ENV{LC_ALL} fr_FR.UTF-8)
function(show title)
  message("\n==> ${title}")
  # One variable for both streams keeps stdout and stderr in their order.
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status
    OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message("${output}(exit status ${status})")
endfunction()

show("LC_ALL=fr_FR.UTF-8 demo --console=all   (French texts from messages/fr.txt)"
     ${DEMO} --console=all)
show("demo --console=error --log=debug"
     ${DEMO} --console=error --log=debug)
show("msgcheck check messages/catalogue.txt messages/fr.txt"
     ${MSGCHECK} check ${MESSAGES}/catalogue.txt ${MESSAGES}/fr.txt)
show("msgcheck coverage --list messages/catalogue.txt messages/fr.txt"
     ${MSGCHECK} coverage --list ${MESSAGES}/catalogue.txt ${MESSAGES}/fr.txt)
