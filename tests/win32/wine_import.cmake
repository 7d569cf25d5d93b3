# Imports the registry files FILES ("|" between them) into the Wine prefix that WINEPREFIX names,
# with WINE, creating the prefix if it does not exist yet.
string(REPLACE "|" ";" files "${FILES}")
foreach(file ${files})
  execute_process(COMMAND ${WINE} reg import ${file}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "importing ${file} failed: ${output}")
  endif()
endforeach()
