# Gives the tests' Wine prefix what a Chinese Windows has and Wine lacks: a CJK face linked to
# Tahoma and the dialog fonts (Debian's Noto Sans CJK), so that the window's Chinese captions show
# in Tahoma's stead. The program itself is not told; it asks for Tahoma as on Windows. WINE runs
# Windows programs in the prefix that WINEPREFIX names, under the locale of the tests that follow.
# The REG_MULTI_SZ "NotoSansCJK-Regular.ttc,Noto Sans CJK SC" (a REGEDIT4 file holds it in single
# bytes, which the import widens).
string(CONCAT link "hex(7):"
  "4e,6f,74,6f,53,61,6e,73,43,4a,4b,2d,52,65,67,75,6c,61,72,2e,74,74,63,2c,4e,6f,74,6f,"
  "20,53,61,6e,73,20,43,4a,4b,20,53,43,00,00")
set(file ${CMAKE_CURRENT_BINARY_DIR}/wine_fonts.reg)
set(key "HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink")
file(WRITE ${file} "REGEDIT4\n\n[${key}]\n")
foreach(face Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif")
  file(APPEND ${file} "\"${face}\"=${link}\n")
endforeach()
# Wine rewrites Tahoma's links whenever a program starts under another code page than the last one:
# one starts first, under the code page the tests run in.
execute_process(COMMAND ${WINE} cmd /c exit RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
execute_process(COMMAND ${WINE} reg import ${file}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "linking a CJK face to Tahoma failed: ${output}")
endif()
# Then what else the prefix is given (FILES).
include(${CMAKE_CURRENT_LIST_DIR}/wine_import.cmake)
