# Writes the man page of a program from its --help and --version with help2man, gzipped.
# cmake -DHELP2MAN=... -DGZIP=... -DPROGRAM=... -DNAME=... -DINCLUDE=... -DOUTPUT=PAGE.1 -P man_page.cmake
# gives PAGE.1.gz. help2man runs the program through the shell unquoted: it is named from its own
# folder, so that a folder whose path has a blank works too. help2man writes the arrows, degree
# signs and "修正.txt" of the help only in a UTF-8 locale (else "???"); gzip -n leaves out the time
# stamp, so the same sources give the same package.
get_filename_component(folder "${PROGRAM}" DIRECTORY)
get_filename_component(file "${PROGRAM}" NAME)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8
          ${HELP2MAN} --locale=C.UTF-8 --no-info --output=${OUTPUT} --name=${NAME}
          --include=${INCLUDE} ./${file}
  WORKING_DIRECTORY ${folder}
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${PROGRAM}")
endif()
execute_process(COMMAND ${GZIP} -9nf ${OUTPUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${OUTPUT}")
endif()
