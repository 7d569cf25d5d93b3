# libcsv compiled for a target that has no package of it (Windows, the browser): from the unpacked
# Debian source package (apt-get source libcsv), under the names FindCSV reports.
# A macro: enable_language does not take effect inside a function.
macro(miralto_libcsv_from_source sources)
  if(NOT EXISTS "${sources}/libcsv.c")
    message(FATAL_ERROR "MIRALTO_LIBCSV_SOURCE_DIR must name libcsv's unpacked sources "
                        "(apt-get source libcsv), not \"${sources}\"")
  endif()
  enable_language(C)
  add_library(csv STATIC ${sources}/libcsv.c)
  target_include_directories(csv SYSTEM PUBLIC ${sources})
  # Not our code: its warnings are its maintainers' to mend.
  target_compile_options(csv PRIVATE $<IF:$<C_COMPILER_ID:MSVC>,/w,-w>)
  add_library(CSV::CSV ALIAS csv)
  # What FindCSV reports: set, they are taken as found.
  set(CSV_INCLUDE_DIR ${sources} CACHE PATH "" FORCE)
  set(CSV_LIBRARY csv CACHE STRING "" FORCE)
endmacro()
