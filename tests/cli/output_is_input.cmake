# Runs miralto-cli (EMULATOR, "|" between words, if given) with standard input read from a copy of
# INPUT and -o naming that same copy: it must refuse with status 2 and leave the file as it was.
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(file ${WORK}/output_is_input.txt)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
configure_file(${INPUT} ${file} COPYONLY)
file(READ ${file} before HEX)
foreach(how IN ITEMS stdin input-file)
  if(how STREQUAL stdin)
    set(args dms -o ${file})
  else()
    set(args dms -i ${file} -o ${file})
  endif()
  execute_process(COMMAND ${emulator} ${CLI} ${args}
    INPUT_FILE ${file}
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    RESULT_VARIABLE status)
  file(READ ${file} after HEX)
  if(NOT after STREQUAL before)
    message(FATAL_ERROR "${how}: the input file was changed")
  endif()
  if(NOT status STREQUAL 2 OR NOT errors MATCHES "is the input file; it would be overwritten")
    message(FATAL_ERROR "${how}: exit status ${status}, expected 2; standard error:\n${errors}")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK})
