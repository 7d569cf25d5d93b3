// Decimal degrees <-> degrees/minutes/seconds on any texts: only the tool's errors, and a decimal
// text that "↑" makes is read back by "↓".
#include "angle_forms.h"
#include "errors.h"
#include "fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto t = fuzz::Texts(data, size, 3);
  try {
    const DmsTexts dms = DecimalToDms(t[0]);
    DmsToDecimal(dms, "longitude");  // texts the tool wrote always read back
  } catch (const OverflowError&) {
  }
  try {
    DmsToDecimal({std::string(t[0]), std::string(t[1]), std::string(t[2])}, "latitude");
  } catch (const ConversionError&) {
  } catch (const OverflowError&) {
  }
  return 0;
}
