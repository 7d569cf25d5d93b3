#include "core/notation.h"

#include <cmath>
#include <utility>

#include "core/errors.h"
#include "core/numbers.h"

namespace miralto {

namespace {

enum class Unit { kNone, kDegrees, kMinutes, kSeconds, kColon };

struct Symbol {
  std::string_view text;
  Unit unit;
  bool letter = false;  // d and m: an s after them is seconds, not south
};

// Doubled minute marks come first: they are seconds, not two minute marks.
constexpr Symbol kSymbols[] = {
    {"''", Unit::kSeconds},      {"\u2032\u2032", Unit::kSeconds}, {"\u2019\u2019", Unit::kSeconds},
    {"\u00B0", Unit::kDegrees},  {"\u00BA", Unit::kDegrees},       {"d", Unit::kDegrees, true},
    {"D", Unit::kDegrees, true}, {"\u2032", Unit::kMinutes},       {"'", Unit::kMinutes},
    {"\u2019", Unit::kMinutes},  {"m", Unit::kMinutes, true},      {"M", Unit::kMinutes, true},
    {"\u2033", Unit::kSeconds},  {"\"", Unit::kSeconds},           {"\u201D", Unit::kSeconds},
    {":", Unit::kColon},
};

constexpr std::string_view kBlanks[] = {" ", "\t", "\u00A0", "\u202F"};
constexpr std::string_view kMinusSign = "\u2212";
// Minutes and seconds of a notation stay below this; the window's fields take any value.
constexpr double kPartLimit = 60;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t SkipBlanks(std::string_view text, std::size_t pos) {
  for (bool more = true; more && pos < text.size();) {
    more = false;
    for (const std::string_view blank : kBlanks) {
      if (text.substr(pos).starts_with(blank)) {
        pos += blank.size();
        more = true;
        break;
      }
    }
  }
  return pos;
}

// The end of the number (digits with at most one period, an optional exponent) at `pos`; `pos`
// itself when none stands there. An E not followed by digits is left for a hemisphere letter.
std::size_t ScanNumber(std::string_view text, std::size_t pos) {
  std::size_t end = pos;
  std::size_t digits = 0;
  for (; end < text.size() && IsDigit(text[end]); ++end) ++digits;
  if (end < text.size() && text[end] == '.') {
    for (++end; end < text.size() && IsDigit(text[end]); ++end) ++digits;
  }
  if (digits == 0) return pos;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    std::size_t exponent = end + 1;
    if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
    if (exponent < text.size() && IsDigit(text[exponent])) {
      while (exponent < text.size() && IsDigit(text[exponent])) ++exponent;
      end = exponent;
    }
  }
  return end;
}

Hemisphere HemisphereOf(char c) {
  switch (c) {
    case 'N':
    case 'n':
    case 'S':
    case 's':
      return Hemisphere::kLatitude;
    case 'E':
    case 'e':
    case 'W':
    case 'w':
      return Hemisphere::kLongitude;
    default:
      return Hemisphere::kNone;
  }
}

bool Negates(char letter) {
  return letter == 'S' || letter == 's' || letter == 'W' || letter == 'w';
}

struct Part {
  std::string_view number;
  Unit unit = Unit::kNone;
};

Argument UnitName(Unit unit) {
  switch (unit) {
    case Unit::kDegrees:
      return Argument::Term(MessageId::kDegrees);
    case Unit::kMinutes:
      return Argument::Term(MessageId::kMinutes);
    default:
      return Argument::Term(MessageId::kSeconds);
  }
}

// A conversion error for `text` in `field`: message `why`, the quoted text first, then `more`.
[[noreturn]] void Fail(std::string_view field, std::string_view text, MessageId why,
                       std::vector<Argument> more = {}) {
  std::vector<Argument> arguments{Argument::Quoted(text)};
  for (Argument& argument : more) arguments.push_back(std::move(argument));
  throw ConversionError({why, std::move(arguments)}, {{MessageId::kAsIs, {Argument::Word(field)}}});
}

[[noreturn]] void FailNotNotation(std::string_view field, std::string_view text) {
  Fail(field, text, MessageId::kNotNotation);
}

// Sets `text` to the part with the field's sign; a zero part stays unsigned, as "↑" writes it.
void SignedPart(std::string_view number, double value, bool negative, std::string& text) {
  text.clear();
  if (negative && value != 0) text += '-';
  text += number;
}

// The text being read, where the reader stands in it, and the field it came from (for messages).
struct Reading {
  std::string_view text;
  std::string_view field;
  std::size_t pos = 0;
};

// Step 1, sign and hemisphere in front: a hemisphere letter, then a sign + - or U+2212.
struct Front {
  char letter = 0;  // 0 when there is none
  bool minus = false;
};

Front ReadFront(Reading& r) {
  r.pos = SkipBlanks(r.text, 0);
  if (r.pos == r.text.size()) Fail(r.field, r.text, MessageId::kNotationEmpty);
  Front front;
  if (HemisphereOf(r.text[r.pos]) != Hemisphere::kNone) {
    front.letter = r.text[r.pos];
    r.pos = SkipBlanks(r.text, r.pos + 1);
  }
  if (r.pos < r.text.size() && (r.text[r.pos] == '+' || r.text[r.pos] == '-')) {
    front.minus = r.text[r.pos] == '-';
    r.pos = SkipBlanks(r.text, r.pos + 1);
  } else if (r.text.substr(r.pos).starts_with(kMinusSign)) {
    front.minus = true;
    r.pos = SkipBlanks(r.text, r.pos + kMinusSign.size());
  }
  return front;
}

// Step 2, the parts: up to three numbers, each with the symbol that follows it, if any.
struct Parts {
  Part part[3];
  std::size_t count = 0;
};

Parts ReadParts(Reading& r) {
  Parts parts;
  bool letter_units = false;
  while (true) {
    const std::size_t end = ScanNumber(r.text, r.pos);
    if (end == r.pos) {
      if (parts.count == 0) FailNotNotation(r.field, r.text);
      break;
    }
    if (parts.count == 3) FailNotNotation(r.field, r.text);
    Part& part = parts.part[parts.count++];
    part.number = r.text.substr(r.pos, end - r.pos);
    r.pos = SkipBlanks(r.text, end);
    if (r.pos == r.text.size()) break;
    for (const Symbol& symbol : kSymbols) {
      if (r.text.substr(r.pos).starts_with(symbol.text)) {
        part.unit = symbol.unit;
        r.pos += symbol.text.size();
        letter_units = letter_units || symbol.letter;
        break;
      }
    }
    if (part.unit == Unit::kNone && letter_units &&
        (r.text[r.pos] == 's' || r.text[r.pos] == 'S')) {
      part.unit = Unit::kSeconds;
      ++r.pos;
    }
    if (part.unit == Unit::kNone) break;
    r.pos = SkipBlanks(r.text, r.pos);
  }
  return parts;
}

// Step 1 again, behind the parts: a hemisphere letter there, then the end of the text. Returns
// whether the value is negative and sets the hemisphere.
bool ReadBack(Reading& r, Front front, Notation& out) {
  if (r.pos < r.text.size() && HemisphereOf(r.text[r.pos]) != Hemisphere::kNone) {
    if (front.letter != 0) Fail(r.field, r.text, MessageId::kTwoHemispheres);
    front.letter = r.text[r.pos];
    r.pos = SkipBlanks(r.text, r.pos + 1);
  }
  if (r.pos != r.text.size()) FailNotNotation(r.field, r.text);
  if (front.minus && Negates(front.letter)) {
    Fail(r.field, r.text, MessageId::kMinusAndHemisphere,
         {Argument::Text(std::string(1, front.letter))});
  }
  out.hemisphere = front.letter == 0 ? Hemisphere::kNone : HemisphereOf(front.letter);
  return front.minus != Negates(front.letter);
}

// Step 3, the units: colons count degrees then minutes, a part without a symbol takes the one
// after its predecessor's. Returns whether the parts were joined by colons.
bool AssignUnits(const Reading& r, Parts& parts) {
  const bool colons = parts.part[0].unit == Unit::kColon;
  Unit previous = Unit::kNone;
  for (std::size_t i = 0; i < parts.count; ++i) {
    Part& part = parts.part[i];
    const bool last = i + 1 == parts.count;
    if (colons && (part.unit != (last ? Unit::kNone : Unit::kColon))) {
      FailNotNotation(r.field, r.text);  // colons mixed with symbols, or a colon at the end
    }
    if (!colons && part.unit == Unit::kColon) FailNotNotation(r.field, r.text);
    if (part.unit == Unit::kColon || part.unit == Unit::kNone) {
      if (previous == Unit::kSeconds) FailNotNotation(r.field, r.text);
      part.unit = previous == Unit::kNone ? Unit::kDegrees
                                          : static_cast<Unit>(static_cast<int>(previous) + 1);
    } else if (part.unit <= previous) {
      Fail(r.field, r.text, MessageId::kPartsOutOfOrder);
    }
    previous = part.unit;
  }
  return colons;
}

// Step 4, the result: a lone degree number is the decimal form, anything else the DMS form.
void WriteResult(const Reading& r, const Parts& parts, bool colons, bool negative, Notation& out) {
  if (parts.count == 1 && parts.part[0].unit == Unit::kDegrees && !colons) {
    out.form = NotationForm::kDecimal;
    out.decimal.clear();
    if (negative) out.decimal += '-';
    out.decimal += parts.part[0].number;
    return;
  }
  out.form = NotationForm::kDms;
  std::string* targets[] = {&out.dms.degrees, &out.dms.minutes, &out.dms.seconds};
  for (std::string* target : targets) target->assign(1, '0');
  for (std::size_t i = 0; i < parts.count; ++i) {
    const Part& part = parts.part[i];
    const double value = ParseStrict(part.number);
    if (part.unit != Unit::kDegrees && value >= kPartLimit) {
      Fail(r.field, r.text, MessageId::kPartOf60OrMore, {UnitName(part.unit)});
    }
    if (i + 1 < parts.count && value != std::trunc(value)) {
      Fail(r.field, r.text, MessageId::kFractionBeforeParts, {UnitName(part.unit)});
    }
    SignedPart(part.number, value, negative,
               *targets[static_cast<int>(part.unit) - static_cast<int>(Unit::kDegrees)]);
  }
}

}  // namespace

void ReadNotation(std::string_view text, std::string_view field, Notation& out) {
  Reading reading{text, field};
  const Front front = ReadFront(reading);
  Parts parts = ReadParts(reading);
  const bool negative = ReadBack(reading, front, out);
  const bool colons = AssignUnits(reading, parts);
  WriteResult(reading, parts, colons, negative, out);
}

void ResolvePosition(std::string_view first, std::string_view second, NotatedPosition& out,
                     std::string_view first_name, std::string_view second_name) {
  ReadNotation(first, first_name, out.lon);
  ReadNotation(second, second_name, out.lat);
  const Hemisphere a = out.lon.hemisphere;
  const Hemisphere b = out.lat.hemisphere;
  if (a != Hemisphere::kNone && a == b) {
    throw ConversionError(
        {a == Hemisphere::kLatitude ? MessageId::kBothLatitudes : MessageId::kBothLongitudes,
         {Argument::Quoted(first), Argument::Quoted(second)}});
  }
  if (a == Hemisphere::kLatitude || b == Hemisphere::kLongitude) std::swap(out.lon, out.lat);
}

}  // namespace miralto
