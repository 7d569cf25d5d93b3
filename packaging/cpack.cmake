# Release packages of everything the install rules name: on Linux a Debian package
# miralto_<version>_<arch>.deb with its dependencies computed, and a .tar.gz of the same tree.
# scripts/package.sh builds them from a clean Release build.
#
# One package holds every install rule's files (components are not split), so a new part of the
# tool joins the packages by its install() rules alone. A platform adds its generators below.
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

# Debian: the name Debian's tools give (miralto_1.00_amd64.deb); the libraries' packages come from
# dpkg-shlibdeps; fonts with Chinese glyphs for the captions, and a Latin sans beside them.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-noto-cjk | fonts-wqy-microhei, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The package also holds libmiralto.so.1: other packages' programs get their dependency on it from
# the shlibs file.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The Python module is built for one Python version and calls numpy; the SQLite extension is of
# use with the sqlite3 shell. Neither is needed by the window or miralto-cli.
if(TARGET miralto_python)
  string(REPLACE "." ";" python_version "${MIRALTO_PYTHON_VERSION}")
  list(GET python_version 0 python_major)
  list(GET python_version 1 python_minor)
  math(EXPR python_next "${python_minor} + 1")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3 (>= ${python_major}.${python_minor}), \
python3 (<< ${python_major}.${python_next}), python3-numpy")
endif()
if(TARGET miralto_sqlite)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS sqlite3)
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

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
