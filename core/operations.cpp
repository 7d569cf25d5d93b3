#include "core/operations.h"

#include "core/angle_forms.h"
#include "core/comparison.h"

namespace miralto {

DecimalTexts DmsToDecimal(const PositionTexts& dms) {
  return {DmsToDecimal(dms.lon, "longitude"), DmsToDecimal(dms.lat, "latitude")};
}

std::string EncodeDegrees(DecimalInput lon, DecimalInput lat, Corrections c) {
  auto values = [](auto value) { return DecimalToDmsValues(value); };
  return EncodePosition(PositionValues{std::visit(values, lon), std::visit(values, lat)}, c);
}

DecimalTexts DecodeDegrees(std::string_view code, Corrections c) {
  // The numbers the texts of "←" read back as, without forming them: "↓" gives the same texts.
  const Tenths tenths = CodeToTenths(code, c);
  return {DmsToDecimal(TenthsToDmsValues(tenths.lon), "longitude"),
          DmsToDecimal(TenthsToDmsValues(tenths.lat), "latitude")};
}

WrittenPositions::WrittenPositions(std::string_view first_name, std::string_view second_name,
                                   bool lenient)
    : first_name_(first_name), second_name_(second_name), lenient_(lenient) {}

bool WrittenPositions::Numbers(std::string_view first, std::string_view second, double& lon,
                               double& lat) const {
  // Decimal numbers, the bulk of most inputs, are what the notation reader would give back: read
  // each once and go straight to "↑".
  return TryParseStrict(first, lon) && TryParseStrict(second, lat);
}

PositionTexts WrittenPositions::Dms(std::string_view first, std::string_view second) {
  if (lenient_) return {DecimalToDms(first), DecimalToDms(second)};
  double lon = 0;
  double lat = 0;
  if (Numbers(first, second, lon, lat))
    return {DecimalToDms(lon, first), DecimalToDms(lat, second)};
  ResolvePosition(first, second, notated_, first_name_, second_name_);
  auto texts = [](const Notation& n) {
    return n.form == NotationForm::kDecimal ? DecimalToDms(n.decimal) : n.dms;
  };
  return {texts(notated_.lon), texts(notated_.lat)};
}

DecimalTexts WrittenPositions::Degrees(std::string_view first, std::string_view second) {
  ResolvePosition(first, second, notated_, first_name_, second_name_);
  auto degrees = [](const Notation& n, std::string_view quantity) {
    // A decimal number is already what "↓" writes, once it is written as "↓" writes it.
    return n.form == NotationForm::kDecimal
               ? DoubleText(ParseStrictNamed(n.decimal, quantity, "degrees"))
               : DmsToDecimal(n.dms, quantity);
  };
  return {degrees(notated_.lon, "longitude"), degrees(notated_.lat, "latitude")};
}

std::string WrittenPositions::Code(std::string_view first, std::string_view second, Corrections c) {
  if (lenient_) return EncodeDegrees(first, second, c);
  double lon = 0;
  double lat = 0;
  if (Numbers(first, second, lon, lat)) {
    return EncodePosition(
        PositionValues{DecimalToDmsValues(lon, first), DecimalToDmsValues(lat, second)}, c);
  }
  return EncodePosition(Dms(first, second), c);
}

}  // namespace miralto
