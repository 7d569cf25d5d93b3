# simdjson compiled for a target that has no package of it (Windows, the browser): from the
# unpacked Debian source package (apt-get source simdjson), whose single-header build is compiled,
# under the name find_package gives (simdjson::simdjson).
function(miralto_simdjson_from_source sources)
  set(single ${sources}/singleheader)
  if(NOT EXISTS "${single}/simdjson.cpp")
    message(FATAL_ERROR "MIRALTO_SIMDJSON_SOURCE_DIR must name simdjson's unpacked sources "
                        "(apt-get source simdjson), not \"${sources}\"")
  endif()
  add_library(simdjson STATIC ${single}/simdjson.cpp)
  target_include_directories(simdjson SYSTEM PUBLIC ${single})
  # Not our code: its warnings are its maintainers' to mend.
  target_compile_options(simdjson PRIVATE $<IF:$<CXX_COMPILER_ID:MSVC>,/w,-w>)
  add_library(simdjson::simdjson ALIAS simdjson)
endfunction()
