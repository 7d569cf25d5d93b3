# Writes the service worker into the page folder with the page's version: a digest of every file
# it keeps, so that any change to the page (its module included) makes a new worker. The files are
# those the worker's own list names, so that the two never differ.
# cmake -DPAGE=<page folder> -DTEMPLATE=<service_worker.js> -P stamp_service_worker.cmake
file(READ "${TEMPLATE}" template)
if(NOT template MATCHES "const files = \\[([^]]*)\\]")
  message(FATAL_ERROR "${TEMPLATE} has no list of the files it keeps")
endif()
string(REGEX MATCHALL "'[^']+'" kept "${CMAKE_MATCH_1}")
set(digests "")
foreach(quoted IN LISTS kept)
  string(REGEX REPLACE "^'(.*)'$" "\\1" file "${quoted}")
  if(file STREQUAL "./")  # the folder: index.html, which the list names too
    continue()
  endif()
  file(SHA256 "${PAGE}/${file}" digest)
  string(APPEND digests "${file} ${digest}\n")
endforeach()
string(SHA256 PAGE_VERSION "${digests}")
string(SUBSTRING "${PAGE_VERSION}" 0 16 PAGE_VERSION)
configure_file("${TEMPLATE}" "${PAGE}/service_worker.js" @ONLY)
