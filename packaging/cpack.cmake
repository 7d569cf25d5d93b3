# Release packages of everything the install rules name: on Linux Debian packages split as Debian
# splits a program with a library (one per install component, table below), and a .tar.gz of the
# whole install tree. scripts/package.sh builds them from a clean Release build.
#
# A new part of the tool joins the packages by its install() rules with a COMPONENT of the table;
# a new component is a row. A platform adds its generators below.
# The one exception is the PostgreSQL extension: it goes where the server looks (not under the
# prefix) and needs the server, so it is a package of its own, postgresql-<major>-miralto, with a
# CPack configuration of its own (CPackPostgreSQLConfig.cmake).

set(CPACK_PACKAGE_NAME miralto)
set(CPACK_PACKAGE_VENDOR "Miralto")
set(CPACK_PACKAGE_CONTACT "Miralto maintainers <maintainers@miralto.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Position code converter: decimal degrees, degrees/minutes/seconds and position codes")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${PROJECT_SOURCE_DIR}/packaging/description.txt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Miralto)
set(CPACK_STRIP_FILES ON)

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR DEB TGZ)
endif()

# Debian: one package per component, named by the table (MIRALTO_PACKAGES, packaging/), each with
# its copyright file and changelog (installed by packaging/CMakeLists.txt) and the file name
# Debian's tools give (miralto_1.00_amd64.deb); the libraries' packages come from dpkg-shlibdeps.
set(CPACK_DEB_COMPONENT_INSTALL ON)
# CPackDeb puts the project's summary before each package's description unless the summary is
# CPack's own default: the synopses come from the table instead.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${CMAKE_PROJECT_NAME} built using CMake")
endif()
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
file(READ ${PROJECT_SOURCE_DIR}/packaging/description.txt description)
string(STRIP "${description}" description)
set(CPACK_COMPONENTS_ALL "")
foreach(row IN LISTS MIRALTO_PACKAGES)
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 component)
  list(GET row 1 package)
  list(GET row 2 section)
  list(GET row 3 summary)
  list(GET row 4 holds)
  list(APPEND CPACK_COMPONENTS_ALL ${component})
  string(TOUPPER ${component} c)
  set(CPACK_DEBIAN_${c}_PACKAGE_NAME ${package})
  set(CPACK_DEBIAN_${c}_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_${c}_PACKAGE_SECTION ${section})
  set(CPACK_DEBIAN_${c}_DESCRIPTION "${summary}\n${description}\n.\n${holds}")
endforeach()

# The window: fonts with Chinese glyphs for the captions, and a Latin sans beside them; Qt's own
# Chinese texts, for the buttons of its message box (Qt's libraries do not bring them).
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS
    "fonts-noto-cjk | fonts-wqy-microhei, fonts-dejavu-core, qt6-translations-l10n")
# The library's package carries its shlibs file and has ldconfig run when it comes and goes. A
# program built against this version runs with any later one of the same soname, so its
# dependency is on this version or later, not on this version alone.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SHLIBDEPS OFF)
# The Python module is built for one Python version and calls numpy.
if(TARGET miralto_python)
  string(REPLACE "." ";" python_version "${MIRALTO_PYTHON_VERSION}")
  list(GET python_version 0 python_major)
  list(GET python_version 1 python_minor)
  math(EXPR python_next "${python_minor} + 1")
  set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS "python3 (>= ${python_major}.${python_minor}), \
python3 (<< ${python_major}.${python_next}), python3-numpy")
endif()
# The SQLite extension is loaded by a program that links SQLite, such as the sqlite3 shell.
set(CPACK_DEBIAN_SQLITE_PACKAGE_SUGGESTS sqlite3)

# Archives: the install tree under one folder named after the package.
set(CPACK_PACKAGE_FILE_NAME "miralto-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
endif()

include(CPack)

if(TARGET miralto_postgresql)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/postgresql.cpack.in
                 ${CMAKE_BINARY_DIR}/CPackPostgreSQLConfig.cmake @ONLY)
endif()
