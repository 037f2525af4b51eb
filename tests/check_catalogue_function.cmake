# Builds tests/catalogue_function, whose catalogue the program then edits:
# the header must follow it.
# cmake -DSOURCE=dir -DWORK=dir -DGENERATOR=name -DCOMPILER=path -DMSGCHECK=path
#   -DMODULE=MsgreportCatalogue.cmake -DINCLUDE=dir -P this-file
file(REMOVE_RECURSE ${WORK})
file(COPY ${SOURCE}/ DESTINATION ${WORK}/source)
file(WRITE ${WORK}/source/catalogue.txt "COUNT : \"%d items\"\n")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${WORK}/source -B ${WORK}/build
  -G ${GENERATOR} -DCMAKE_CXX_COMPILER=${COMPILER}
  -DMSGREPORT_MSGCHECK=${MSGCHECK} -DMSGREPORT_MODULE=${MODULE}
  -DMSGREPORT_INCLUDE=${INCLUDE} COMMAND_ERROR_IS_FATAL ANY)
set(header ${WORK}/build/msgreport_catalogues/consumer/messages.h)
foreach(key COUNT EDITED)
  execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK}/build
    COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${header} made)
  if(NOT made MATCHES "namespace messages {.*char ${key}\\[\\] = ")
    message(FATAL_ERROR "${header} lacks messages::key::${key}:\n${made}")
  endif()
  file(APPEND ${WORK}/source/catalogue.txt "EDITED : \"Edited\"\n")
endforeach()
