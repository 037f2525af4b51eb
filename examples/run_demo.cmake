# Runs the demo twice and msgcheck once, showing what each prints.
function(show title)
  message("\n==> ${title}")
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status)
  message("(exit status ${status})")
endfunction()

show("demo --console=all   (French texts from messages/fr.txt)"
     ${DEMO} --console=all)
show("demo --console=error --log=debug"
     ${DEMO} --console=error --log=debug)
show("msgcheck messages/catalogue.txt messages/fr.txt"
     ${MSGCHECK} ${MESSAGES}/catalogue.txt ${MESSAGES}/fr.txt)
