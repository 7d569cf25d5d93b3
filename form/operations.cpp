#include "form/operations.h"

#include <array>

namespace miralto::form {

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

std::span<const Operation> WindowOperations() { return kWindowOperations; }

const Operation* FindOperation(std::string_view command) {
  for (const Operation& row : kWindowOperations) {
    if (row.command == command) return &row;
  }
  return nullptr;
}

}  // namespace miralto::form
