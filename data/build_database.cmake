# Builds an SQLite file from SQL sources, replacing OUTPUT only once it is complete.
set(tmp "${OUTPUT}.tmp")
file(REMOVE "${tmp}")
foreach(src ${SOURCES})
  execute_process(COMMAND "${SQLITE3}" -bail "${tmp}"
                  INPUT_FILE "${src}"
                  RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    file(REMOVE "${tmp}")
    message(FATAL_ERROR "${src}: ${err}")
  endif()
endforeach()
file(RENAME "${tmp}" "${OUTPUT}")
