// Comparing any two texts: only invalid-code errors, and differences within one group's range.
#include "core/comparison.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto t = fuzz::Texts(data, size, 2);
  CodeDifference d;
  try {
    d = CompareCodes(t[0], t[1]);
  } catch (const InvalidCodeError&) {
    return 0;
  }
  for (const std::string& text : {d.lat, d.lon}) {
    const double value = ParseStrict(text);
    fuzz::Require(value >= -1336335 && value <= 1336335 && value == static_cast<Long>(value));
  }
  return 0;
}
