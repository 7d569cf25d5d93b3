# Header-only libraries of the host for a cross build (Windows, the browser), whose compiler must
# not see the host's include folder: its C library headers would hide the target's.

# A header-only library from the host, as the CMake package PACKAGE (version VERSION) with the
# target TARGET: its folder FOLDER is copied into the build, and a package configuration there
# points at the copy. Further arguments are compile definitions the target carries.
function(miralto_host_headers package version target folder)
  set(root ${CMAKE_BINARY_DIR}/host-headers/${package})
  file(COPY ${folder} DESTINATION ${root}/include)
  file(WRITE ${root}/${package}Config.cmake
       "if(NOT TARGET ${target})\n"
       "  add_library(${target} INTERFACE IMPORTED)\n"
       "  set_target_properties(${target} PROPERTIES\n"
       "    INTERFACE_INCLUDE_DIRECTORIES \"${root}/include\"\n"
       "    INTERFACE_COMPILE_DEFINITIONS \"${ARGN}\")\n"
       "endif()\n")
  file(WRITE ${root}/${package}ConfigVersion.cmake
       "set(PACKAGE_VERSION ${version})\n"
       "set(PACKAGE_VERSION_COMPATIBLE TRUE)\n"
       "if(PACKAGE_FIND_VERSION_MAJOR AND NOT PACKAGE_FIND_VERSION_MAJOR EQUAL ${version})\n"
       "  set(PACKAGE_VERSION_COMPATIBLE FALSE)\n"
       "endif()\n")
  set(${package}_DIR ${root} CACHE PATH "" FORCE)
endfunction()

# The number-text libraries every target reads and writes numbers with (core/numbers.cpp).
set(MIRALTO_FAST_FLOAT_HEADERS /usr/include/fast_float
    CACHE PATH "fast_float headers (the fast_float folder)")
set(MIRALTO_FMT_HEADERS /usr/include/fmt CACHE PATH "fmt headers (the fmt folder)")
macro(miralto_number_text_headers)
  miralto_host_headers(FastFloat 3 FastFloat::fast_float ${MIRALTO_FAST_FLOAT_HEADERS})
  miralto_host_headers(fmt 9 fmt::fmt-header-only ${MIRALTO_FMT_HEADERS} FMT_HEADER_ONLY=1)
endmacro()
