# Builds the Windows ZIP package of the build folder BUILD with CPACK, unpacks it and runs the
# unpacked miralto-cli.exe alone (EMULATOR, "|" between words, runs it): the package holds a
# program that needs no DLL of the build beside it, with the licence and the copyright file, and
# with WINDOW set miralto.exe and the README beside it.
string(REPLACE "|" ";" emulator "${EMULATOR}")
set(work ${CMAKE_CURRENT_BINARY_DIR}/package-test)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work}/unpacked)
execute_process(COMMAND ${CPACK} -G ZIP -B ${work} --config ${BUILD}/CPackConfig.cmake
  RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB zip ${work}/*.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${zip} WORKING_DIRECTORY ${work}/unpacked)
file(GLOB_RECURSE programs ${work}/unpacked/*/miralto-cli.exe)
list(LENGTH programs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "the package holds ${count} miralto-cli.exe, not one: ${programs}")
endif()
get_filename_component(folder ${programs} DIRECTORY)
# The window and the README stand beside it, where a user unpacking the ZIP looks.
if(WINDOW)
  foreach(file miralto.exe README.md)
    if(NOT EXISTS ${folder}/${file})
      message(FATAL_ERROR "the package holds no ${file} beside miralto-cli.exe")
    endif()
  endforeach()
endif()
# The window as shipped (stripped, runtime linked in) stays within 440 KiB: it is 428 KiB.
# Debug information left in, a toolkit, std::filesystem or a stream linked in again (any of them
# brings libstdc++'s every locale facet, about 0.8 MiB), unused sections kept or fmt's run-time
# format parser back would cross the limit.
if(WINDOW)
  set(limit 450560)
  file(SIZE ${folder}/miralto.exe size)
  if(size GREATER limit)
    message(FATAL_ERROR "the package's miralto.exe has ${size} bytes, more than ${limit}")
  endif()
endif()
# The licence and the copyright file, with the other projects' parts the programs carry, beside
# them in every build.
foreach(file LICENSE.txt COPYRIGHT.txt)
  if(NOT EXISTS ${folder}/${file})
    message(FATAL_ERROR "the package holds no ${file} beside miralto-cli.exe")
  endif()
endforeach()
file(READ ${folder}/LICENSE.txt licence LIMIT 200)
if(NOT licence MATCHES "Apache License[ \n]+Version 2.0, January 2004")
  message(FATAL_ERROR "the package's LICENSE.txt is not the Apache License 2.0:\n${licence}")
endif()
file(STRINGS ${folder}/COPYRIGHT.txt licences REGEX "^License: ")
foreach(part "Apache-2.0" "LGPL-2.1\\+" "ZPL-2.1")
  if(NOT licences MATCHES "(^|;)License: ${part}(;|$)")
    message(FATAL_ERROR "the package's COPYRIGHT.txt names no ${part}: ${licences}")
  endif()
endforeach()
file(GLOB dlls ${folder}/*.dll)
if(dlls)
  message(FATAL_ERROR "the package carries DLLs the program should not need: ${dlls}")
endif()
execute_process(COMMAND ${emulator} ${programs} --input-string "113.288959 23.236255" encode
  OUTPUT_FILE ${work}/output RESULT_VARIABLE status ERROR_VARIABLE errors)
file(READ ${work}/output output HEX)
string(HEX "8i4k7zwpg\n" expected)
if(NOT status EQUAL 0 OR NOT output STREQUAL expected)
  message(FATAL_ERROR "the unpacked program wrote ${output} (hex), status ${status}, "
                      "expected ${expected}:\n${errors}")
endif()
file(REMOVE_RECURSE ${work})
