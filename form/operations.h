// The window's half of the operations: what each of the buttons "↑" to "计算差值" computes, as pure
// functions from the field texts it reads to the field texts it writes, and the table the form
// model runs them from. The computing itself is the core's (core/operations.h).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/operations.h"

namespace miralto::form {

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

}  // namespace miralto::form
