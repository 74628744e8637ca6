# Puts an empty registry in place only where there is none: never over the user's books.
if(NOT EXISTS "${OUTPUT}")
  file(COPY_FILE "${TEMPLATE}" "${OUTPUT}")
endif()
