# Windows packages of the installed folder (included by cpack.cmake): a ZIP whose folder holds
# miralto.exe, miralto-cli.exe, the README, the licence and the copyright file and runs where it is
# unpacked (the corrections stay beside the programs when the folder is writable), and, where
# NSIS's makensis is installed, an installer into Program Files with a Start menu entry, the
# licence on its licence page, and an uninstaller (the corrections then go to %APPDATA%\Miralto).
# Both are built and tested under Wine by tests/packaging/windows_package.cmake.
set(CPACK_PACKAGE_FILE_NAME Miralto-${PROJECT_VERSION}-windows-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR ZIP)
find_program(MIRALTO_MAKENSIS makensis)
if(MIRALTO_MAKENSIS)
  list(APPEND CPACK_GENERATOR NSIS)
endif()
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
# A 64-bit installer for the 64-bit programs (NSIS's default stub is 32-bit). CPack has no setting
# for the target, so it follows the compressor's line, which comes before any code.
set(CPACK_NSIS_COMPRESSOR "lzma\n  Unicode true\n  Target amd64-unicode")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/icons/miralto.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/icons/miralto.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "miralto.exe")
# The installer's licence page shows the licence (CPack's default is a text saying there is none).
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_DISPLAY_NAME Miralto)
set(CPACK_NSIS_PACKAGE_NAME Miralto)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The programs stand at the top of the installed folder, as in the ZIP.
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
if(TARGET miralto)
  set(CPACK_PACKAGE_EXECUTABLES miralto Miralto)  # the Start menu entry
endif()
# One folder with every component, as the ZIP and the installer have always held: the list of
# components is the Debian packages' split, which CPack would only warn about and ignore here.
set(CPACK_MONOLITHIC_INSTALL ON)
unset(CPACK_COMPONENTS_ALL)
# The installed folder is shared by every user: the install mark in it tells the programs so, and
# they keep each user's corrections in %APPDATA%\Miralto even where the user may write the folder
# (an administrator, Windows without UAC). The ZIP carries no mark, as its folder is portable.
# NSIS wants backslashes; each one is written twice, as CPack's configuration file reads it once.
string(REPLACE "/" "\\\\" mark "${MIRALTO_INSTALL_MARK_DIR}")
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "CreateDirectory '$INSTDIR\\\\${mark}'")
# Removed folder by folder, each only while empty, deepest first.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "")
set(folder "${MIRALTO_INSTALL_MARK_DIR}")
while(folder)
  string(REPLACE "/" "\\\\" nsis_folder "${folder}")
  string(APPEND CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "RMDir '$INSTDIR\\\\${nsis_folder}'\n")
  get_filename_component(folder "${folder}" DIRECTORY)
endwhile()
