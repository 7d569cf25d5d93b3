// Decoding any text: only the tool's errors; what a code decodes to encodes to a code that decodes
// to the same fields.
#include "core/errors.h"
#include "core/position_code.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto t = fuzz::Texts(data, size, 2);
  const Corrections c = fuzz::CorrectionsFrom(t[1]);
  PositionTexts decoded;
  try {
    decoded = DecodePosition(t[0], c);
  } catch (const Error&) {
    return 0;
  }
  fuzz::Require(t[0].size() == 9);
  try {
    fuzz::Require(DecodePosition(EncodePosition(decoded, c), c) == decoded);
  } catch (const OutOfReachError&) {
    // A zone corner such as 500000000 can decode to a position the code names from another zone;
    // no decoded position may lie outside the reach.
    fuzz::Require(false);
  }
  return 0;
}
