# A rebuild puts an empty registry in place only where there is none: a registry
# that holds books is kept as it is.
set(db "${WORK}/ZEKOVD.db")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")

execute_process(COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${TEMPLATE} -DOUTPUT=${db} -P ${SCRIPT} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT EXISTS "${db}")
  message(FATAL_ERROR "no registry was put in place")
endif()

execute_process(COMMAND ${SQLITE3} ${db}
  "INSERT INTO Mapeamento VALUES('ANA','LIVRO1','X:','C:\\ZEKO_Download\\Download\\LIVRO1')" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "could not add a book")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -DTEMPLATE=${TEMPLATE} -DOUTPUT=${db} -P ${SCRIPT} RESULT_VARIABLE rc)
execute_process(COMMAND ${SQLITE3} ${db} "SELECT Curso FROM Mapeamento" OUTPUT_VARIABLE rows)
string(STRIP "${rows}" rows)
if(NOT rc EQUAL 0 OR NOT rows STREQUAL "LIVRO1")
  message(FATAL_ERROR "the rebuild lost the registry's books: '${rows}'")
endif()
file(REMOVE_RECURSE "${WORK}")
