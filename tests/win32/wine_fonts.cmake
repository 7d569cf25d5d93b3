# Gives the tests' Wine prefix what a Chinese Windows has and Wine lacks: a CJK face linked to
# Tahoma (Debian's Noto Sans CJK), so that the window's Chinese captions show in Tahoma's stead.
# The program itself is not told; it asks for Tahoma as on Windows. WINE runs Windows programs in
# the prefix that WINEPREFIX names.
set(key "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink")
foreach(face Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft Sans Serif")
  execute_process(
    COMMAND ${WINE} reg add ${key} /v ${face} /t REG_MULTI_SZ
            /d "NotoSansCJK-Regular.ttc,Noto Sans CJK SC" /f
    RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "linking a CJK face to ${face} failed: ${errors}")
  endif()
endforeach()
