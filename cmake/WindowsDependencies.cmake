# Libraries for a Windows build that no package provides there, built from sources with the
# build's own compiler under the names the rest of the build looks for: libcsv wherever its
# sources are given (Debian's source package; Windows has no package of it), and for a cross build
# from Debian also GoogleTest, CLI11 and nlohmann-json, from Debian's packages of their sources and
# headers.

# GoogleTest: Debian's package "googletest" holds its sources.
set(MIRALTO_GOOGLETEST_SOURCE_DIR /usr/src/googletest
    CACHE PATH "GoogleTest sources to build for the target")
# libcsv: the unpacked Debian source package (apt-get source libcsv).
set(MIRALTO_LIBCSV_SOURCE_DIR "" CACHE PATH "libcsv sources to build for the target")
include(LibcsvFromSource)
# CLI11 and nlohmann-json (for the tests' scenario tables) are headers only; the host's copies
# serve, but not the host's include folder, whose C library headers would hide the target's.
set(MIRALTO_CLI11_HEADERS /usr/include/CLI CACHE PATH "CLI11 headers (the CLI folder)")
set(MIRALTO_NLOHMANN_JSON_HEADERS /usr/include/nlohmann
    CACHE PATH "nlohmann-json headers (the nlohmann folder)")

if(MIRALTO_LIBCSV_SOURCE_DIR)
  miralto_libcsv_from_source(${MIRALTO_LIBCSV_SOURCE_DIR})
endif()

if(NOT CMAKE_CROSSCOMPILING)
  return()
endif()

if(MIRALTO_BUILD_TESTS AND NOT TARGET GTest::gtest_main)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(${MIRALTO_GOOGLETEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()

include(HostHeaders)

# Only the major version is checked; the copies are Debian's, whatever their minor version.
miralto_host_headers(CLI11 2 CLI11::CLI11 ${MIRALTO_CLI11_HEADERS})
miralto_host_headers(nlohmann_json 3 nlohmann_json::nlohmann_json ${MIRALTO_NLOHMANN_JSON_HEADERS})
miralto_number_text_headers()

# Programs built here run under Wine, in a Wine prefix of this build folder, without any
# window or prompt.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  find_program(MIRALTO_WINE wine REQUIRED)
  set(MIRALTO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${CMAKE_COMMAND} -E env WINEPREFIX=${MIRALTO_WINEPREFIX} WINEDEBUG=-all
      WINEDLLOVERRIDES=mscoree,mshtml= ${MIRALTO_WINE})
endif()
