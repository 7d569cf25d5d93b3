// The operations layer: the chains of the window's operations that the batch converter and the
// bindings build, over the core's own (DecimalToDms, DmsToDecimal, EncodePosition,
// DecodePosition). Every front end (miralto-cli, the C library, the Python module, the SQL
// extensions, and through the form model the windows) calls these instead of chaining the lower
// core calls itself, so all of them give the window's texts bit for bit.
#pragma once

#include <string>
#include <string_view>
#include <variant>

#include "core/angle_forms.h"
#include "core/comparison.h"
#include "core/errors.h"
#include "core/notation.h"
#include "core/position_code.h"

namespace miralto {

// The chains of operations that the batch converter and the bindings run on many positions. They
// give the texts the window shows after the same presses, and throw the core's Error (no partial
// writes: a batch reports a record as a whole).

// Decimal degrees of both quantities, as "↓" writes them.
struct DecimalTexts {
  std::string lon;
  std::string lat;
};

// Decimal degrees as a caller holds them: the text of a window field, read as the window reads it,
// or a number, which gives what the shortest text that reads back as it gives.
using DecimalInput = std::variant<std::string_view, double>;

// "↓" of both quantities, named "longitude" and "latitude" in messages.
DecimalTexts DmsToDecimal(const PositionTexts& dms);

// "↑" then "→": the code of decimal degrees. Encoding goes through the numbers the texts of "↑"
// read back as, without forming them: the same code and failures.
std::string EncodeDegrees(DecimalInput lon, DecimalInput lat, Corrections c);

// "←" then "↓": the position a code names in decimal degrees.
DecimalTexts DecodeDegrees(std::string_view code, Corrections c);

// Positions as people write them (notation.h), read as the batch converter reads them: a decimal
// number goes through "↑", DMS parts go in as written. With `lenient`, each field is a decimal
// number read as the window's "↑" reads it, and no notation is taken. Keeps its buffers between
// records. Throws ConversionError naming the field (`first_name`, `second_name`).
class WrittenPositions {
 public:
  explicit WrittenPositions(std::string_view first_name = "field 1",
                            std::string_view second_name = "field 2", bool lenient = false);

  // The six texts "→" reads.
  PositionTexts Dms(std::string_view first, std::string_view second);
  // Decimal degrees as "↓" writes them: a decimal number as it is, DMS parts through "↓".
  DecimalTexts Degrees(std::string_view first, std::string_view second);
  // The code ("→" of Dms), through the numbers where both fields are decimal numbers.
  std::string Code(std::string_view first, std::string_view second, Corrections c);

 private:
  // True with `lon` and `lat` set when both fields are plain decimal numbers.
  bool Numbers(std::string_view first, std::string_view second, double& lon, double& lat) const;

  std::string first_name_;
  std::string second_name_;
  bool lenient_;
  NotatedPosition notated_;
};

}  // namespace miralto
