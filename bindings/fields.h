// Input fields of the bindings: a host's numbers and texts as the window's fields read them.
#pragma once

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>

#include <utility>

#include "angle_forms.h"
#include "notation.h"
#include "numbers.h"

namespace miralto::bindings {

// One input value: missing (None, NULL, NaN), a number, or a text as a window field holds it.
enum class FieldKind : std::uint8_t { kMissing, kNumber, kText };

struct Field {
  FieldKind kind = FieldKind::kMissing;
  double number = 0;
  std::string_view text;
};

// The shortest text that reads back as `value`; whole numbers below 10^15 without an exponent,
// so that a code held as a number (500000000) reads as its digits.
inline std::string NumberText(double value) {
  char buffer[32];
  const bool whole = std::fabs(value) < 1e15 && value == std::trunc(value);
  const auto [end, ec] =
      whole ? std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value))
            : std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

// Decimal degrees as the window's "↑" reads them.
inline DmsTexts Degrees(const Field& f) {
  return f.kind == FieldKind::kNumber ? DecimalToDms(f.number) : DecimalToDms(f.text);
}

// The numbers Degrees's texts read back as: what encoding needs, without the texts.
inline DmsValues DegreeValues(const Field& f) {
  return f.kind == FieldKind::kNumber ? DecimalToDmsValues(f.number) : DecimalToDmsValues(f.text);
}

// A field that the window reads as a text of its own: degree/minute/second fields, codes.
inline std::string Text(const Field& f) {
  return f.kind == FieldKind::kNumber ? NumberText(f.number) : std::string(f.text);
}

// A position as people write it ("23.236255N", "E113°17′20.24″", either order when letters say
// which is which), read as the batch converter reads it: a decimal number goes through "↑", DMS
// parts go in as written.
inline PositionTexts WrittenPosition(std::string_view first, std::string_view second) {
  NotatedPosition p;
  ResolvePosition(first, second, p);
  auto dms = [](const Notation& n) {
    return n.form == NotationForm::kDecimal ? DecimalToDms(n.decimal) : n.dms;
  };
  return {dms(p.lon), dms(p.lat)};
}

// The same position in decimal degrees as "↓" writes them: a decimal number as it is, DMS parts
// through "↓".
inline std::pair<std::string, std::string> WrittenDecimal(std::string_view first,
                                                          std::string_view second) {
  NotatedPosition p;
  ResolvePosition(first, second, p);
  auto dd = [](const Notation& n, std::string_view quantity) {
    return n.form == NotationForm::kDecimal
               ? DoubleText(ParseStrictNamed(n.decimal, quantity, "degrees"))
               : DmsToDecimal(n.dms, quantity);
  };
  return {dd(p.lon, "longitude"), dd(p.lat, "latitude")};
}

}  // namespace miralto::bindings
