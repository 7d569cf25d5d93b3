# Windows packages of the installed folder (included by cpack.cmake): a ZIP to unpack anywhere
# (the programs keep their corrections beside them when the folder is writable) and, where NSIS is
# installed, an installer with a Start menu entry (the corrections then go to %APPDATA%\Miralto).
set(CPACK_PACKAGE_FILE_NAME Miralto-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR ZIP)
find_program(MIRALTO_MAKENSIS makensis)
if(MIRALTO_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
endif()
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/icons/miralto.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/icons/miralto.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "${CMAKE_INSTALL_BINDIR}\\\\miralto.exe")
set(CPACK_NSIS_DISPLAY_NAME Miralto)
if(MIRALTO_BUILD_UI)
  set(CPACK_PACKAGE_EXECUTABLES miralto Miralto)  # the Start menu entry
endif()
# One folder with every component, as the ZIP and the installer have always held.
set(CPACK_MONOLITHIC_INSTALL ON)
