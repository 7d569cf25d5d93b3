#include "numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

#include "errors.h"

namespace miralto {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads characters of a text from `pos` on, skipping blanks where `skip_blanks` is set.
struct Source {
  std::string_view text;
  std::size_t pos = 0;
  bool skip_blanks = false;

  char Peek() {
    while (skip_blanks && pos < text.size() && IsBlank(text[pos])) ++pos;
    return pos < text.size() ? text[pos] : '\0';
  }
  void Advance() { ++pos; }
};

// A number as read, with what is needed to tell an overflow from an underflow.
struct Scanned {
  std::string normal;  // "-123.45e-6" form that std::from_chars takes
  bool found = false;  // at least one mantissa digit
  bool negative = false;
  std::int64_t magnitude = 0;  // decimal exponent of the first significant digit, saturated
  bool all_zero = true;
};

// Takes the longest number at the front of `source`: sign, digits with at most one period,
// and an exponent only when it is complete.
Scanned ScanNumber(Source& source) {
  Scanned s;
  char c = source.Peek();
  if (c == '+' || c == '-') {
    s.negative = c == '-';
    source.Advance();
  }
  if (s.negative) s.normal += '-';
  std::int64_t integer_digits = 0;  // significant digits before the period
  std::int64_t leading_fraction_zeros = 0;
  bool period = false;
  std::size_t mantissa_start = s.normal.size();
  for (c = source.Peek();; c = source.Peek()) {
    if (IsDigit(c)) {
      s.found = true;
      if (c != '0' || !s.all_zero) {
        if (!period) ++integer_digits;
        s.all_zero = false;
      } else if (period) {
        ++leading_fraction_zeros;
      }
      s.normal += c;
    } else if (c == '.' && !period) {
      period = true;
      s.normal += '.';
    } else {
      break;
    }
    source.Advance();
  }
  if (!s.found) return Scanned{};
  if (s.normal[mantissa_start] == '.') s.normal.insert(mantissa_start, 1, '0');
  if (s.normal.back() == '.') s.normal.pop_back();

  // The exponent counts only when a digit follows E and its sign; otherwise the number ends at E.
  const Source before_exponent = source;
  c = source.Peek();
  std::int64_t exponent = 0;
  if (c == 'e' || c == 'E') {
    source.Advance();
    std::string tail = "e";
    bool exponent_negative = false;
    c = source.Peek();
    if (c == '+' || c == '-') {
      exponent_negative = c == '-';
      tail += c;
      source.Advance();
    }
    bool exponent_found = false;
    for (c = source.Peek(); IsDigit(c); c = source.Peek()) {
      exponent_found = true;
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (c - '0');
      tail += c;
      source.Advance();
    }
    if (exponent_found) {
      s.normal += tail;
      if (exponent_negative) exponent = -exponent;
    } else {
      source = before_exponent;
      exponent = 0;
    }
  }
  s.magnitude =
      (integer_digits > 0 ? integer_digits - 1 : -(leading_fraction_zeros + 1)) + exponent;
  return s;
}

double ToDouble(const Scanned& s, std::string_view text) {
  double value = 0.0;
  const char* first = s.normal.data();
  const char* last = first + s.normal.size();
  const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    if (s.magnitude > 0) {
      throw OverflowError("the number " + Quote(text) + " is beyond the range of a double (about " +
                          "1.8E+308)");
    }
    return s.negative ? -0.0 : 0.0;  // too small to hold: it is zero
  }
  if (ec != std::errc() || end != last) {
    throw ConversionError(Quote(text) + " could not be read as a number");
  }
  return value;
}

std::string Describe(double value) {
  if (std::isnan(value)) return "not a number";
  if (std::isinf(value)) return value > 0 ? "infinity" : "minus infinity";
  return DoubleText(value);
}

[[noreturn]] void ThrowNotLong(double value) {
  throw OverflowError("the value " + Describe(value) +
                      " is outside the integer range -2147483648 to 2147483647");
}

Long ToLongChecked(double integral) {
  if (!(integral >= -2147483648.0 && integral <= 2147483647.0)) ThrowNotLong(integral);
  return static_cast<Long>(integral);
}

// `value` with `digits` significant digits, in the fixed or the exponent form.
std::string FormatSignificant(double value, int digits) {
  if (!std::isfinite(value)) {
    throw OverflowError("the result is " + Describe(value) + ", which no number text can show");
  }
  if (value == 0.0) return "0";  // the negative zero too
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                       std::chars_format::scientific, digits - 1);
  const std::string_view formatted(buffer, static_cast<std::size_t>(end - buffer));
  // formatted is "[-]d.ddddde[+-]xx"
  const bool negative = formatted[0] == '-';
  const std::size_t e = formatted.find('e');
  std::string mantissa;
  for (char c : formatted.substr(negative ? 1 : 0, e - (negative ? 1 : 0))) {
    if (c != '.') mantissa += c;
  }
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
  int exponent = 0;
  const char* exponent_first = buffer + e + 1;
  if (*exponent_first == '+') ++exponent_first;
  std::from_chars(exponent_first, end, exponent);

  std::string text = negative ? "-" : "";
  if (exponent >= digits || exponent < -5) {
    text += mantissa[0];
    if (mantissa.size() > 1) text += "." + mantissa.substr(1);
    text += exponent < 0 ? "E-" : "E+";
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10) text += '0';
    text += LongText(magnitude);
  } else if (exponent >= 0) {
    const auto integer_length = static_cast<std::size_t>(exponent) + 1;
    if (mantissa.size() <= integer_length) {
      text += mantissa + std::string(integer_length - mantissa.size(), '0');
    } else {
      text += mantissa.substr(0, integer_length) + "." + mantissa.substr(integer_length);
    }
  } else {
    text += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
  }
  return text;
}

}  // namespace

double ParseLenient(std::string_view text) {
  Source source{text, 0, true};
  const Scanned scanned = ScanNumber(source);
  if (!scanned.found) return 0.0;
  return ToDouble(scanned, text);
}

double ParseStrict(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  Source source{text.substr(first, last - first), 0, false};
  const Scanned scanned = ScanNumber(source);
  if (!scanned.found || source.pos != source.text.size()) {
    throw ConversionError(
        Quote(text) + " is not a number (expected digits with an optional sign, one period and " +
        "an exponent such as 1.5E-3)");
  }
  return ToDouble(scanned, text);
}

double ParseStrictNamed(std::string_view text, std::string_view quantity, std::string_view field) {
  try {
    return ParseStrict(text);
  } catch (const Error& error) {
    RethrowWithContext(error, std::string(quantity) + " " + std::string(field));
  }
}

Long RoundToLong(double value) {
  double rounded = std::floor(value);
  const double fraction = value - rounded;  // exact: floor is within one unit of value
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) rounded += 1.0;
  return ToLongChecked(rounded);
}

double Truncate(double value) { return std::trunc(value); }

Long TruncateToLong(double value) { return ToLongChecked(std::trunc(value)); }

std::string LongText(Long value) {
  char buffer[16];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

std::string SingleText(Single value) { return FormatSignificant(value, 7); }

std::string DoubleText(double value) { return FormatSignificant(value, 15); }

}  // namespace miralto
