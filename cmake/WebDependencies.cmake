# Libraries for the browser build (emscripten), which has no packages of its own: the host's
# header-only libraries copied into the build, and libcsv compiled from Debian's source package.
include(HostHeaders)
include(LibcsvFromSource)

set(MIRALTO_LIBCSV_SOURCE_DIR "" CACHE PATH "libcsv sources to build for the target")
set(MIRALTO_CLI11_HEADERS /usr/include/CLI CACHE PATH "CLI11 headers (the CLI folder)")
set(MIRALTO_NLOHMANN_JSON_HEADERS /usr/include/nlohmann
    CACHE PATH "nlohmann-json headers (the nlohmann folder)")

miralto_libcsv_from_source("${MIRALTO_LIBCSV_SOURCE_DIR}")

miralto_host_headers(CLI11 2 CLI11::CLI11 ${MIRALTO_CLI11_HEADERS})
miralto_host_headers(nlohmann_json 3 nlohmann_json::nlohmann_json ${MIRALTO_NLOHMANN_JSON_HEADERS})
miralto_number_text_headers()
