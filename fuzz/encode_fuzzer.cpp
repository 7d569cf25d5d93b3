// Encoding from six texts: only the tool's errors; a code it returns is nine characters of the
// alphabet that decode without error to fields that encode to the same code.
#include "core/digits.h"
#include "core/errors.h"
#include "core/position_code.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto t = fuzz::Texts(data, size, 7);
  const Corrections c = fuzz::CorrectionsFrom(t[6]);
  const PositionTexts fields{{std::string(t[0]), std::string(t[1]), std::string(t[2])},
                             {std::string(t[3]), std::string(t[4]), std::string(t[5])}};
  std::string code;
  try {
    code = EncodePosition(fields, c);
  } catch (const Error&) {
    return 0;
  }
  fuzz::Require(code.size() == 9 && code[0] >= '5' && code[0] <= '8');
  for (std::size_t i = 1; i < 9; ++i) {
    fuzz::Require(kDigitAlphabet.find(code[i]) != std::string_view::npos);
  }
  const PositionTexts decoded = DecodePosition(code, c);  // must not throw
  fuzz::Require(EncodePosition(decoded, c) == code);
  return 0;
}
