#include "core/operations.h"

#include <array>

#include "core/angle_forms.h"
#include "core/comparison.h"

namespace miralto {

namespace {

constexpr std::array<std::string_view, 3> kLonDmsFields{"Text3(0)", "Text3(1)", "Text3(2)"};
constexpr std::array<std::string_view, 3> kLatDmsFields{"Text3(3)", "Text3(4)", "Text3(5)"};

void WriteDms(Outcome& outcome, const std::array<std::string_view, 3>& fields, DmsTexts texts) {
  outcome.writes.push_back({fields[0], std::move(texts.degrees)});
  outcome.writes.push_back({fields[1], std::move(texts.minutes)});
  outcome.writes.push_back({fields[2], std::move(texts.seconds)});
}

// Runs the steps of an operation; a failure of the tool's kinds ends it with what was written so
// far. Anything else (out of memory) is not a result of the texts and passes through.
template <typename Steps>
Outcome Run(Steps steps) {
  Outcome outcome;
  try {
    steps(outcome);
  } catch (const Error& error) {
    outcome.failure = error;
  }
  return outcome;
}

PositionTexts Dms(std::span<const std::string> t) {
  return {{t[0], t[1], t[2]}, {t[3], t[4], t[5]}};
}

constexpr std::array<std::string_view, 2> kDecimalFields{"Text1(0)", "Text1(1)"};
constexpr std::array<std::string_view, 6> kDmsFields{"Text3(0)", "Text3(1)", "Text3(2)",
                                                     "Text3(3)", "Text3(4)", "Text3(5)"};
constexpr std::array<std::string_view, 1> kCodeField{"Text4"};
constexpr std::array<std::string_view, 2> kComparedFields{"Text4", "Text2"};

const std::array<Operation, 5> kWindowOperations{{
    {"Command1", kDecimalFields, false,
     [](std::span<const std::string> t, Corrections) { return DecimalToDmsFields(t[0], t[1]); }},
    {"Command2", kDmsFields, false,
     [](std::span<const std::string> t, Corrections) { return DmsToDecimalFields(Dms(t)); }},
    {"Command3", kDmsFields, true,
     [](std::span<const std::string> t, Corrections c) { return EncodeFields(Dms(t), c); }},
    {"Command4", kCodeField, true,
     [](std::span<const std::string> t, Corrections c) { return DecodeFields(t[0], c); }},
    {"Command5", kComparedFields, false,
     [](std::span<const std::string> t, Corrections) { return CompareFields(t[0], t[1]); }},
}};

}  // namespace

Outcome DecimalToDmsFields(std::string_view lon, std::string_view lat) {
  return Run([&](Outcome& outcome) {
    WriteDms(outcome, kLonDmsFields, DecimalToDms(lon));
    WriteDms(outcome, kLatDmsFields, DecimalToDms(lat));
  });
}

Outcome DmsToDecimalFields(const PositionTexts& dms) {
  return Run([&](Outcome& outcome) {
    outcome.writes.push_back({kDecimalFields[0], DmsToDecimal(dms.lon, "longitude")});
    outcome.writes.push_back({kDecimalFields[1], DmsToDecimal(dms.lat, "latitude")});
  });
}

Outcome EncodeFields(const PositionTexts& dms, Corrections c) {
  return Run([&](Outcome& outcome) {
    outcome.writes.push_back({kCodeField[0], EncodePosition(dms, c)});
  });
}

Outcome DecodeFields(std::string_view code, Corrections c) {
  return Run([&](Outcome& outcome) {
    PositionTexts p = DecodePosition(code, c);
    WriteDms(outcome, kLonDmsFields, std::move(p.lon));
    WriteDms(outcome, kLatDmsFields, std::move(p.lat));
  });
}

Outcome CompareFields(std::string_view code, std::string_view reference) {
  return Run([&](Outcome& outcome) {
    CodeDifference d = CompareCodes(code, reference);
    outcome.writes.push_back({"Text6", std::move(d.lat)});
    outcome.writes.push_back({"Text5", std::move(d.lon)});
  });
}

DmsTexts DegreesToDms(DecimalInput degrees) {
  return std::visit([](auto value) { return DecimalToDms(value); }, degrees);
}

PositionTexts DegreesToDms(DecimalInput lon, DecimalInput lat) {
  return {DegreesToDms(lon), DegreesToDms(lat)};
}

std::string DmsToDegrees(const DmsTexts& dms, std::string_view quantity) {
  return DmsToDecimal(dms, quantity);
}

DecimalTexts DmsToDegrees(const PositionTexts& dms) {
  return {DmsToDecimal(dms.lon, "longitude"), DmsToDecimal(dms.lat, "latitude")};
}

std::string EncodeDms(const PositionTexts& dms, Corrections c) { return EncodePosition(dms, c); }

PositionTexts DecodeDms(std::string_view code, Corrections c) { return DecodePosition(code, c); }

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
  if (lenient_) return DegreesToDms(first, second);
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

std::span<const Operation> WindowOperations() { return kWindowOperations; }

const Operation* FindOperation(std::string_view command) {
  for (const Operation& row : kWindowOperations) {
    if (row.command == command) return &row;
  }
  return nullptr;
}

}  // namespace miralto
