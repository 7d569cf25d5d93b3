# Runs miralto-cli with ARGS ("|" between arguments) on the file INPUT and checks that it writes
# exactly the bytes of the file EXPECTED and exits with STATUS. EMULATOR ("|" between words), if
# given, runs it. The output goes through a file: a captured variable would lose its CRs. With
# RESULT, the bytes checked are those of the file RESULT that the program writes (-o RESULT).
string(REPLACE "|" ";" args "${ARGS}")
string(REPLACE "|" ";" emulator "${EMULATOR}")
get_filename_component(name ${EXPECTED} NAME_WE)
string(MD5 run "${CLI}|${ARGS}")  # cases that share an expected file may run at once
string(SUBSTRING ${run} 0 8 run)
set(output_file ${CMAKE_CURRENT_BINARY_DIR}/${name}-${run}.got)
if(RESULT)
  file(REMOVE ${RESULT})
endif()
execute_process(COMMAND ${emulator} ${CLI} ${args}
  INPUT_FILE ${INPUT}
  OUTPUT_FILE ${output_file}
  ERROR_VARIABLE errors
  RESULT_VARIABLE status)
if(RESULT)
  file(REMOVE ${output_file})
  set(output_file ${RESULT})
endif()
file(READ ${output_file} output HEX)
file(READ ${EXPECTED} expected HEX)
if(NOT output STREQUAL expected)
  file(READ ${output_file} output_text)
  file(READ ${EXPECTED} expected_text)
  message(FATAL_ERROR "output differs from ${EXPECTED} (bytes kept in ${output_file}):\n"
                      "--- got\n${output_text}--- expected\n${expected_text}"
                      "--- got, in hex\n${output}\n--- expected, in hex\n${expected}\n"
                      "--- standard error\n${errors}")
endif()
file(REMOVE ${output_file})
# NAME.err, if there is one, holds a text that standard error must contain.
get_filename_component(case_dir ${EXPECTED} DIRECTORY)
if(EXISTS ${case_dir}/${name}.err)
  file(READ ${case_dir}/${name}.err expected_error)
  string(STRIP "${expected_error}" expected_error)
  string(FIND "${errors}" "${expected_error}" found)
  if(found EQUAL -1)
    message(FATAL_ERROR "standard error lacks \"${expected_error}\":\n${errors}")
  endif()
endif()
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}; standard error:\n${errors}")
endif()
