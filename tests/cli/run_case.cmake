# Runs miralto-cli with ARGS ("|" between arguments) on the file INPUT and checks that it writes
# exactly the file EXPECTED and exits with STATUS.
string(REPLACE "|" ";" args "${ARGS}")
execute_process(COMMAND ${CLI} ${args}
  INPUT_FILE ${INPUT}
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
file(READ ${EXPECTED} expected)
if(NOT output STREQUAL expected)
  message(FATAL_ERROR "output differs from ${EXPECTED}:\n--- got\n${output}--- expected\n${expected}"
                      "--- standard error\n${errors}")
endif()
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; standard error:\n${errors}")
endif()
