// Decimal degrees <-> degrees/minutes/seconds on any texts: only the tool's errors, a decimal
// text that "↑" makes is read back by "↓", and the numbers encoding takes in place of the texts
// of "↑" are the numbers those texts read as, bit for bit, for texts and for any double.
#include <bit>
#include <cstring>

#include "core/angle_forms.h"
#include "core/errors.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

namespace {

bool Same(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// DecimalToDmsValues against reading DecimalToDms's texts: the same numbers or the same failure.
template <typename Input>
void RequireValuesMatchTexts(const Input& input) {
  DmsTexts texts;
  try {
    texts = DecimalToDms(input);
  } catch (const Error& error) {
    try {
      DecimalToDmsValues(input);
    } catch (const Error& again) {
      fuzz::Require(again.kind() == error.kind() && again.Message() == error.Message());
      return;
    }
    fuzz::Require(false);
  }
  const DmsValues values = DecimalToDmsValues(input);
  fuzz::Require(Same(values.degrees, ParseStrict(texts.degrees)) &&
                Same(values.minutes, ParseStrict(texts.minutes)) &&
                Same(values.seconds, ParseStrict(texts.seconds)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto t = fuzz::Texts(data, size, 3);
  RequireValuesMatchTexts(t[0]);
  if (size >= sizeof(double)) {
    double number = 0;
    std::memcpy(&number, data, sizeof number);
    RequireValuesMatchTexts(number);
  }
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
