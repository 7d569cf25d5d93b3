// The GeoJSON reader of the batch converter on any bytes: nothing escapes but the reader's own
// std::runtime_error for input that is not a FeatureCollection, and no nesting exhausts the stack.
#include <cstdio>
#include <stdexcept>

#include "cli/geojson_input.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  cli::Options options;
  options.command = (data[0] & 1) != 0 ? cli::Command::kEncode : cli::Command::kDms;
  options.to = (data[0] & 2) != 0 ? cli::Format::kText : cli::Format::kGeoJson;
  std::FILE* in = fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "rb");
  std::FILE* out = std::fopen("/dev/null", "wb");
  fuzz::Require(in != nullptr && out != nullptr);
  try {
    cli::ConvertGeoJson(options, in, out);
  } catch (const std::runtime_error&) {
  }
  std::fclose(in);
  std::fclose(out);
  return 0;
}
