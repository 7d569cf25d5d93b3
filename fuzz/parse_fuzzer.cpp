// ParseLenient and ParseStrict on any text: only overflow and conversion errors, and the same
// value wherever both accept the text.
#include <cstring>

#include "core/errors.h"
#include "core/numbers.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  double lenient = 0, strict = 0;
  bool lenient_ok = false, strict_ok = false;
  try {
    lenient = ParseLenient(text);
    lenient_ok = true;
  } catch (const OverflowError&) {
  }
  try {
    strict = ParseStrict(text);
    strict_ok = true;
  } catch (const ConversionError&) {
  } catch (const OverflowError&) {
    fuzz::Require(!lenient_ok);
  }
  if (lenient_ok && strict_ok) fuzz::Require(lenient == strict);
  if (strict_ok) fuzz::Require(lenient_ok);
  return 0;
}
