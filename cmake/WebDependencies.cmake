# Libraries for the browser build (emscripten), which has no packages of its own: the host's
# header-only libraries copied into the build, and libcsv and simdjson compiled from Debian's source
# packages.
include(HostHeaders)
include(SimdjsonFromSource)

set(MIRALTO_LIBCSV_SOURCE_DIR "" CACHE PATH "libcsv sources to build for the target")
set(MIRALTO_SIMDJSON_SOURCE_DIR "" CACHE PATH "simdjson sources to build for the target")
set(MIRALTO_CLI11_HEADERS /usr/include/CLI CACHE PATH "CLI11 headers (the CLI folder)")
set(MIRALTO_NLOHMANN_JSON_HEADERS /usr/include/nlohmann
    CACHE PATH "nlohmann-json headers (the nlohmann folder)")

if(NOT EXISTS "${MIRALTO_LIBCSV_SOURCE_DIR}/libcsv.c")
  message(FATAL_ERROR "MIRALTO_LIBCSV_SOURCE_DIR must name libcsv's unpacked sources "
                      "(apt-get source libcsv), not \"${MIRALTO_LIBCSV_SOURCE_DIR}\"")
endif()
enable_language(C)
add_library(csv STATIC ${MIRALTO_LIBCSV_SOURCE_DIR}/libcsv.c)
target_include_directories(csv SYSTEM PUBLIC ${MIRALTO_LIBCSV_SOURCE_DIR})
target_compile_options(csv PRIVATE -w)  # not our code
add_library(CSV::CSV ALIAS csv)
set(CSV_INCLUDE_DIR ${MIRALTO_LIBCSV_SOURCE_DIR} CACHE PATH "" FORCE)
set(CSV_LIBRARY csv CACHE STRING "" FORCE)
miralto_simdjson_from_source("${MIRALTO_SIMDJSON_SOURCE_DIR}")

miralto_host_headers(CLI11 2 CLI11::CLI11 ${MIRALTO_CLI11_HEADERS})
miralto_host_headers(nlohmann_json 3 nlohmann_json::nlohmann_json ${MIRALTO_NLOHMANN_JSON_HEADERS})
miralto_number_text_headers()
