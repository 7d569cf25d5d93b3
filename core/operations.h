// The operations layer: what each of the window's buttons computes, as pure functions over the
// field texts, and the chains that the batch converter and the bindings build from them. Every
// front end (the windows, miralto-cli, the C library, the Python module, the SQLite extension)
// calls this layer instead of chaining the lower core calls itself, so all of them give the
// window's texts bit for bit.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/comparison.h"
#include "core/errors.h"
#include "core/notation.h"
#include "core/position_code.h"

namespace miralto {

// One field text an operation writes: the control's name ("Text3(0)") and the new text. The name
// is a literal of this layer's tables.
struct FieldWrite {
  std::string_view control;
  std::string text;
};

// What an operation did: the writes in the window's order; on failure, the failure and only the
// writes made before the failing step.
struct Outcome {
  std::vector<FieldWrite> writes;
  std::optional<Error> failure;
};

// "↑" (Command1): writes Text3(0) to Text3(2) from `lon`, then Text3(3) to Text3(5) from `lat`.
// A failure in the latitude keeps the longitude's three writes.
Outcome DecimalToDmsFields(std::string_view lon, std::string_view lat);

// "↓" (Command2): writes Text1(0), then Text1(1). A failure in the latitude keeps Text1(0).
Outcome DmsToDecimalFields(const PositionTexts& dms);

// "→" (Command3): writes Text4; everything is computed first, so a failure writes nothing.
Outcome EncodeFields(const PositionTexts& dms, Corrections c);

// "←" (Command4): writes Text3(0) to Text3(5); a failure writes nothing.
Outcome DecodeFields(std::string_view code, Corrections c);

// "计算差值" (Command5): writes Text6 (latitude difference), then Text5 (longitude difference). A
// text that is not a code fails before anything is written.
Outcome CompareFields(std::string_view code, std::string_view reference);

// The table of the window's operations: one row per button.
struct Operation {
  std::string_view command;                 // "Command1"
  std::span<const std::string_view> reads;  // the controls it reads, in order
  bool corrected;                           // whether it takes the correction values
  Outcome (*run)(std::span<const std::string> texts, Corrections c);  // texts in `reads` order
};

// Rows for Command1 to Command5. Command6 and Form_Load need the correction file, which is I/O.
std::span<const Operation> WindowOperations();

// The row of `command`, or nullptr if there is none.
const Operation* FindOperation(std::string_view command);

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

// "↑" of one quantity, and of both.
DmsTexts DegreesToDms(DecimalInput degrees);
PositionTexts DegreesToDms(DecimalInput lon, DecimalInput lat);
// "↓" of one quantity (`quantity` names it in messages: "longitude"), and of both.
std::string DmsToDegrees(const DmsTexts& dms, std::string_view quantity);
DecimalTexts DmsToDegrees(const PositionTexts& dms);
// "→"
std::string EncodeDms(const PositionTexts& dms, Corrections c);
// "←"
PositionTexts DecodeDms(std::string_view code, Corrections c);

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
