#include "core/numbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <system_error>

#include <fast_float/fast_float.h>
// The formats are compiled: only the formatting they use is linked, not fmt's run-time format
// parser and every argument type behind it (about 40 KB of the statically linked Windows window).
#include <fmt/compile.h>

#include "core/errors.h"
#include "core/numbers_internal.h"

namespace miralto {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The largest double as a message gives it.
constexpr std::string_view kDoubleRangeText = "1.8E+308";

constexpr std::array<double, 16> kPowersOfTenDouble = {
    1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};

// Where the longest number at the front of a text stands. Its value is the general reader's, which
// tells an overflow (infinity) from an underflow (zero) itself.
struct Scanned {
  bool found = false;  // at least one mantissa digit
  bool negative = false;
  std::size_t end = 0;  // the number is text[0, end), sign included
  // For the quick road: the digits as an integer while there are at most 15 of them.
  std::uint64_t digits = 0;
  int digit_count = 0;
  int fraction_digits = 0;
  bool has_exponent = false;
};

// Takes the longest number at the front of `text`: sign, digits with at most one period, and an
// exponent only when it is complete.
Scanned ScanNumber(std::string_view text) {
  Scanned s;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  const char* p = begin;
  if (p != end && (*p == '+' || *p == '-')) s.negative = *p++ == '-';
  auto take_digits = [&s, &p, end] {
    for (; p != end && IsDigit(*p); ++p) {
      if (++s.digit_count <= 15) s.digits = s.digits * 10 + static_cast<std::uint64_t>(*p - '0');
    }
  };
  const char* const integer_start = p;
  take_digits();
  bool found = p != integer_start;
  if (p != end && *p == '.') {
    const char* const fraction_start = ++p;
    take_digits();
    // Only read while there are at most 15 digits in all; capped so that a long text fits an int.
    s.fraction_digits =
        static_cast<int>(std::min<std::ptrdiff_t>(p - fraction_start, 1'000'000'000));
    found = found || p != fraction_start;
  }
  if (!found) return Scanned{};
  s.found = true;
  std::size_t pos = static_cast<std::size_t>(p - begin);
  s.end = pos;
  auto at = [&text](std::size_t i) { return i < text.size() ? text[i] : '\0'; };

  // The exponent counts only when a digit follows E and its sign; otherwise the number ends at E.
  if (at(pos) == 'e' || at(pos) == 'E') {
    ++pos;
    if (at(pos) == '+' || at(pos) == '-') ++pos;
    if (IsDigit(at(pos))) {
      while (IsDigit(at(pos))) ++pos;
      s.end = pos;
      s.has_exponent = true;
    }
  }
  return s;
}

// Up to 15 digits and no exponent, both the integer and the power of ten are exact doubles, so
// one division gives the correctly rounded value, as the general reader would. False otherwise.
bool QuickValue(const Scanned& s, double& value) {
  if (s.has_exponent || s.digit_count > 15) return false;
  value = static_cast<double>(s.digits) / kPowersOfTenDouble[s.fraction_digits];
  if (s.negative) value = -value;
  return true;
}

// The value of the number scanned at the front of `source`; messages quote the whole `text`.
double ToDouble(const Scanned& s, std::string_view source, std::string_view text) {
  if (double value = 0.0; QuickValue(s, value)) return value;
  std::string_view number = source.substr(0, s.end);
  if (number.front() == '+') number.remove_prefix(1);  // the reader takes no plus sign
  double value = 0.0;
  const char* last = number.data() + number.size();
  // fast_float rather than std::from_chars: not every target's library has the latter for double.
  const auto [end, ec] =
      fast_float::from_chars(number.data(), last, value, fast_float::chars_format::general);
  if (ec != std::errc() || end != last) {
    throw ConversionError({MessageId::kUnreadableNumber, {Argument::Quoted(text)}});
  }
  if (std::isinf(value)) {
    throw OverflowError(
        {MessageId::kBeyondDouble, {Argument::Quoted(text), Argument::Text(kDoubleRangeText)}});
  }
  if (value == 0.0) return s.negative ? -0.0 : 0.0;  // too small to hold: it is zero
  return value;
}

[[noreturn]] void ThrowNotLong(double value) {
  throw OverflowError({MessageId::kNotALong,
                       {Argument::Value(value), Argument::Number(std::numeric_limits<Long>::min()),
                        Argument::Number(std::numeric_limits<Long>::max())}});
}

Long ToLongChecked(double integral) {
  if (!(integral >= -2147483648.0 && integral <= 2147483647.0)) ThrowNotLong(integral);
  return static_cast<Long>(integral);
}

// A value rounded to a number of significant digits: its digits without trailing zeros, and the
// decimal exponent of the first.
struct Rounded {
  char mantissa[24];
  int length = 0;
  int exponent = 0;
};

// Reads a positive finite number as fmt writes it, in the fixed ("0.0001", "1000") or the
// exponent form ("1.5e-07"), into its significant digits and the decimal exponent of the first.
// `r.mantissa` must hold every digit of the text.
void ReadFormatted(const char* p, const char* end, Rounded& r) {
  r.length = 0;
  int point = -1;  // digits before the period
  int count = 0;
  int leading_zeros = 0;
  for (; p != end && *p != 'e'; ++p) {
    if (*p == '.') {
      point = count;
      continue;
    }
    ++count;
    if (r.length == 0 && *p == '0') {
      ++leading_zeros;
    } else {
      r.mantissa[r.length++] = *p;
    }
  }
  if (point < 0) point = count;
  int exponent = 0;
  if (p != end) std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
  while (r.length > 1 && r.mantissa[r.length - 1] == '0') --r.length;
  if (r.length == 0) r.mantissa[r.length++] = '0';
  r.exponent = point - leading_zeros - 1 + exponent;
}

// The general way: correctly rounded from the exact binary value, ties to even. fmt rather than
// std::to_chars: not every target's library has the latter with a precision for double.
void RoundByFormatter(double magnitude, int digits, Rounded& r) {
  char scientific[48];
  const auto result = fmt::format_to_n(scientific, sizeof scientific, FMT_COMPILE("{:.{}e}"),
                                       magnitude, digits - 1);
  ReadFormatted(scientific, result.out, r);
}

// The shortest digits that read back as `magnitude` (positive, finite).
void ShortestDigits(double magnitude, Rounded& r) {
  // fmt writes the shortest digits but may pad them with zeros in the fixed form: up to 16.
  char text[48];
  const auto result = fmt::format_to_n(text, sizeof text, FMT_COMPILE("{}"), magnitude);
  ReadFormatted(text, result.out, r);
}

// For a double: when the shortest text that reads back as the value has at most 15 digits, it is
// the value rounded to 15 digits, since 15-digit decimals lie more than an ulp apart. Not so for a
// subnormal, whose ulp is wider: 5E-324 reads back as the smallest, which is 4.94065645841247E-324.
bool RoundDoubleByShortest(double magnitude, Rounded& r) {
  if (magnitude < std::numeric_limits<double>::min()) return false;
  ShortestDigits(magnitude, r);
  return r.length <= 15;
}

}  // namespace

namespace internal {

#if defined(__SIZEOF_INT128__) && !defined(MIRALTO_NO_INT128)
namespace {

__extension__ typedef unsigned __int128 Wide;

constexpr std::array<Wide, 28> kPowersOfTen = [] {
  std::array<Wide, 28> powers{};
  Wide power = 1;
  for (Wide& p : powers) {
    p = power;
    power *= 10;
  }
  return powers;
}();

}  // namespace

bool IntegerRoundingBuilt() { return true; }

// For a Single from 1E-20 to below 1E+07, the magnitudes positions have: the exact rounding to 7
// digits in integer arithmetic, several times faster than the general formatter. The Single is
// m / 2^shift with m below 2^24; scaled by 10^(6 - e) its integer part has 7 digits. Gives the
// seven digits as an integer (trailing zeros kept) and the decimal exponent of the first.
bool RoundSingleToSeven(double magnitude, std::uint32_t& digits, int& exponent) {
  if (!(magnitude >= 1e-20 && magnitude < 1e7)) return false;
  std::uint64_t bits = 0;  // memcpy, not std::bit_cast, which the browser's library lacks
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  // A Single's 24 significant bits: the implicit one and the top 23 of the double's fraction.
  const std::uint64_t m =
      (std::uint64_t{1} << 23) | ((bits & ((std::uint64_t{1} << 52) - 1)) >> 29);
  const int shift = 1023 + 23 - biased;  // magnitude = m / 2^shift, shift 0 to 91 here
  // floor(log10(2) * floor(log2(magnitude))): the decimal exponent or one below it.
  int e = ((biased - 1023) * 78913) >> 18;
  for (int tries = 0; tries < 3; ++tries) {
    const int k = 6 - e;
    if (k < 0 || k > 27) return false;
    const Wide scaled = Wide{m} * kPowersOfTen[static_cast<std::size_t>(k)];
    const Wide integer = scaled >> shift;
    if (integer >= 10'000'000) {
      ++e;  // log10 guessed one too low
      continue;
    }
    if (integer < 1'000'000) {
      --e;
      continue;
    }
    auto rounded = static_cast<std::uint32_t>(integer);
    if (shift > 0) {
      const Wide rest = scaled - (integer << shift);
      const Wide half = Wide{1} << (shift - 1);
      if (rest > half || (rest == half && (rounded & 1) != 0)) ++rounded;
    }
    if (rounded == 10'000'000) {
      rounded = 1'000'000;
      ++e;
    }
    digits = rounded;
    exponent = e;
    return true;
  }
  return false;
}

// For a double from 1E-5 to below 1E+15, the magnitudes decimal degrees have: the exact rounding to
// 15 digits, ties to even, in integer arithmetic, as the formatter would give it. The double is
// m / 2^shift with m below 2^53; scaled by 10^(14 - e) it stays below 2^128.
bool RoundDoubleToFifteen(double magnitude, std::uint64_t& digits, int& exponent) {
  if (!(magnitude >= 1e-5 && magnitude < 1e15)) return false;
  std::uint64_t bits = 0;  // memcpy, not std::bit_cast, which the browser's library lacks
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased = static_cast<int>(bits >> 52);
  const std::uint64_t m = (std::uint64_t{1} << 52) | (bits & ((std::uint64_t{1} << 52) - 1));
  const int shift = 1023 + 52 - biased;  // 3 to 69 here
  int e = ((biased - 1023) * 78913) >> 18;
  constexpr std::uint64_t kLow = 100'000'000'000'000;  // 10^14
  for (int tries = 0; tries < 3; ++tries) {
    const int k = 14 - e;
    if (k < 0 || k > 22) return false;
    const Wide scaled = Wide{m} * kPowersOfTen[static_cast<std::size_t>(k)];
    const Wide integer = scaled >> shift;
    if (integer >= 10 * Wide{kLow}) {
      ++e;
      continue;
    }
    if (integer < kLow) {
      --e;
      continue;
    }
    auto rounded = static_cast<std::uint64_t>(integer);
    const Wide rest = scaled - (integer << shift);
    const Wide half = Wide{1} << (shift - 1);
    if (rest > half || (rest == half && (rounded & 1) != 0)) ++rounded;
    if (rounded == 10 * kLow) {
      rounded = kLow;
      ++e;
    }
    digits = rounded;
    exponent = e;
    return true;
  }
  return false;
}
#else
// Without 128-bit integers (MSVC) every number takes the general way, with the same results.
bool IntegerRoundingBuilt() { return false; }
bool RoundSingleToSeven(double, std::uint32_t&, int&) { return false; }
bool RoundDoubleToFifteen(double, std::uint64_t&, int&) { return false; }
#endif

}  // namespace internal

namespace {

using internal::RoundDoubleToFifteen;
using internal::RoundSingleToSeven;

bool RoundDoubleExactly(double magnitude, Rounded& r) {
  std::uint64_t rounded = 0;
  if (!RoundDoubleToFifteen(magnitude, rounded, r.exponent)) return false;
  for (int i = 14; i >= 0; --i, rounded /= 10) {
    r.mantissa[i] = static_cast<char>('0' + rounded % 10);
  }
  r.length = 15;
  while (r.length > 1 && r.mantissa[r.length - 1] == '0') --r.length;
  return true;
}

bool RoundSingleExactly(double magnitude, Rounded& r) {
  std::uint32_t rounded = 0;
  if (!RoundSingleToSeven(magnitude, rounded, r.exponent)) return false;
  for (int i = 6; i >= 0; --i, rounded /= 10) r.mantissa[i] = static_cast<char>('0' + rounded % 10);
  r.length = 7;
  while (r.length > 1 && r.mantissa[r.length - 1] == '0') --r.length;
  return true;
}

// A whole number of at most seven digits is its own rounding: degrees and minutes.
bool IsSmallWhole(double magnitude) {
  return magnitude < 1e7 && magnitude == std::trunc(magnitude);
}

// `magnitude` (positive, finite, not a small whole number) rounded to `digits` (7 for a Single, 15
// for a double) significant digits by the fastest road that answers.
internal::Road RoundSignificant(double magnitude, int digits, Rounded& r) {
  if (digits == 7 ? RoundSingleExactly(magnitude, r) : RoundDoubleExactly(magnitude, r)) {
    return internal::Road::kInteger;
  }
  if (digits == 15 && RoundDoubleByShortest(magnitude, r)) return internal::Road::kShortest;
  RoundByFormatter(magnitude, digits, r);
  return internal::Road::kGeneral;
}

// `value` with `digits` (7 for a Single, 15 for a double) significant digits, in the fixed or the
// exponent form. Works in fixed buffers: this runs for every number a batch writes.
std::string FormatSignificant(double value, int digits) {
  if (!std::isfinite(value)) {
    throw OverflowError({MessageId::kNoNumberText, {Argument::Value(value)}});
  }
  if (value == 0.0) return "0";  // the negative zero too
  const double magnitude = std::fabs(value);
  if (IsSmallWhole(magnitude)) {
    char text[16];
    return std::string(text, std::to_chars(text, text + sizeof text, static_cast<Long>(value)).ptr);
  }
  Rounded r;
  RoundSignificant(magnitude, digits, r);

  char text[64];
  char* out = text;
  if (value < 0) *out++ = '-';
  auto copy = [&out](const char* from, int count) {
    for (int i = 0; i < count; ++i) *out++ = from[i];
  };
  auto zeros = [&out](int count) {
    for (int i = 0; i < count; ++i) *out++ = '0';
  };
  const int exponent = r.exponent;
  if (exponent >= digits || exponent < -5) {
    *out++ = r.mantissa[0];
    if (r.length > 1) {
      *out++ = '.';
      copy(r.mantissa + 1, r.length - 1);
    }
    *out++ = 'E';
    *out++ = exponent < 0 ? '-' : '+';
    const int e = exponent < 0 ? -exponent : exponent;
    if (e < 10) *out++ = '0';
    out = std::to_chars(out, text + sizeof text, e).ptr;
  } else if (exponent >= 0) {
    const int integer_length = exponent + 1;
    if (r.length <= integer_length) {
      copy(r.mantissa, r.length);
      zeros(integer_length - r.length);
    } else {
      copy(r.mantissa, integer_length);
      *out++ = '.';
      copy(r.mantissa + integer_length, r.length - integer_length);
    }
  } else {
    *out++ = '0';
    *out++ = '.';
    zeros(-exponent - 1);
    copy(r.mantissa, r.length);
  }
  return std::string(text, out);
}

// `magnitude` (positive, finite) with the shortest digits `r` in the fixed form: "1000", "12.5",
// "0.00015". From 2^53 on every double is a whole number, and its digits are written exactly, as
// the standard library's std::to_chars does.
void AppendFixed(std::string& out, double magnitude, const Rounded& r) {
  if (magnitude >= 9007199254740992.0) {
    fmt::format_to(std::back_inserter(out), FMT_COMPILE("{:.0f}"), magnitude);
    return;
  }
  if (r.exponent >= 0) {
    const int integer_length = r.exponent + 1;
    if (r.length <= integer_length) {
      out.append(r.mantissa, static_cast<std::size_t>(r.length));
      out.append(static_cast<std::size_t>(integer_length - r.length), '0');
    } else {
      out.append(r.mantissa, static_cast<std::size_t>(integer_length));
      out += '.';
      out.append(r.mantissa + integer_length, static_cast<std::size_t>(r.length - integer_length));
    }
  } else {
    out += "0.";
    out.append(static_cast<std::size_t>(-r.exponent - 1), '0');
    out.append(r.mantissa, static_cast<std::size_t>(r.length));
  }
}

}  // namespace

namespace internal {

Road SingleTextRoad(Single value) {
  const double magnitude = std::fabs(static_cast<double>(value));
  if (IsSmallWhole(magnitude)) return Road::kWhole;
  Rounded r;
  return RoundSignificant(magnitude, 7, r);
}

Road DoubleTextRoad(double value) {
  const double magnitude = std::fabs(value);
  if (IsSmallWhole(magnitude)) return Road::kWhole;
  Rounded r;
  return RoundSignificant(magnitude, 15, r);
}

bool ReadQuickly(std::string_view text, double& value) {
  const Scanned scanned = ScanNumber(text);
  return scanned.found && scanned.end == text.size() && QuickValue(scanned, value);
}

bool SingleValueQuickly(Single value, double& result) {
  const double v = value;
  // A whole number below 10^7 has at most seven digits: its text is exact, so it reads back as
  // itself. The degrees and minutes of a position take this road.
  if (IsSmallWhole(std::fabs(v))) {
    result = v == 0.0 ? 0.0 : v;  // "0" for -0 too
    return true;
  }
  // In the fixed form ParseStrict divides the integer of the digits by a power of ten, both exact;
  // the seven digits with their trailing zeros over the matching power give the same quotient.
  std::uint32_t digits = 0;
  int exponent = 0;
  if (RoundSingleToSeven(std::fabs(v), digits, exponent) && exponent >= -5 && exponent <= 6) {
    const double magnitude =
        static_cast<double>(digits) / kPowersOfTenDouble[static_cast<std::size_t>(6 - exponent)];
    result = v < 0 ? -magnitude : magnitude;
    return true;
  }
  return false;
}

}  // namespace internal

double ParseLenient(std::string_view text) {
  std::string compact;  // the text without its blanks, made only when it has any
  std::string_view source = text;
  if (std::any_of(text.begin(), text.end(), IsBlank)) {
    for (char c : text) {
      if (!IsBlank(c)) compact += c;
    }
    source = compact;
  }
  const Scanned scanned = ScanNumber(source);
  if (!scanned.found) return 0.0;
  return ToDouble(scanned, source, text);
}

bool TryParseStrict(std::string_view text, double& value) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  const std::string_view source = text.substr(first, last - first);
  const Scanned scanned = ScanNumber(source);
  if (!scanned.found || scanned.end != source.size()) return false;
  value = ToDouble(scanned, source, text);
  return true;
}

double ParseStrict(std::string_view text) {
  double value = 0.0;
  if (!TryParseStrict(text, value)) {
    throw ConversionError({MessageId::kNotANumber, {Argument::Quoted(text)}});
  }
  return value;
}

double ParseStrictNamed(std::string_view text, std::string_view quantity, std::string_view field) {
  try {
    return ParseStrict(text);
  } catch (const Error& error) {
    RethrowWithContext(error, Phrase{MessageId::kFieldOfQuantity,
                                     {Argument::Word(quantity), Argument::Word(field)}});
  }
}

Long RoundToLong(double value) {
  // Written out rather than through std::round: MinGW's adds a half first, which takes the double
  // just below 0.5 to 1. The fraction is exact, and so is a step of one away from the whole part
  // (where a step is possible at all, the whole part is below 2^52). An exact half goes to the
  // even neighbour; only then is the parity asked, since fmod is slow and this runs for every
  // coordinate.
  const double whole = std::trunc(value);
  const double fraction = std::fabs(value - whole);
  const bool away = fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0);
  return ToLongChecked(away ? whole + std::copysign(1.0, value) : whole);
}

Long TruncateToLong(double value) { return ToLongChecked(std::trunc(value)); }

std::string LongText(Long value) {
  char buffer[16];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

std::string SingleText(Single value) { return FormatSignificant(value, 7); }

std::string DoubleText(double value) { return FormatSignificant(value, 15); }

double SingleValue(Single value) {
  if (double quick = 0.0; internal::SingleValueQuickly(value, quick)) return quick;
  return ParseStrict(SingleText(value));
}

}  // namespace miralto

namespace miralto {

std::string ShortestText(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  std::string text = std::signbit(value) ? "-" : "";
  if (value == 0.0) return text + "0";
  Rounded r;
  ShortestDigits(std::fabs(value), r);
  std::string fixed;
  AppendFixed(fixed, std::fabs(value), r);
  std::string scientific(1, r.mantissa[0]);
  if (r.length > 1) {
    scientific += '.';
    scientific.append(r.mantissa + 1, static_cast<std::size_t>(r.length - 1));
  }
  const int e = r.exponent < 0 ? -r.exponent : r.exponent;
  scientific += r.exponent < 0 ? "e-" : "e+";
  if (e < 10) scientific += '0';
  scientific += LongText(e);
  return text + (scientific.size() < fixed.size() ? scientific : fixed);
}

std::string FixedText(double value) {
  if (!std::isfinite(value)) return ShortestText(value);
  std::string text = std::signbit(value) ? "-" : "";
  if (value == 0.0) return text + "0";
  Rounded r;
  ShortestDigits(std::fabs(value), r);
  AppendFixed(text, std::fabs(value), r);
  return text;
}

}  // namespace miralto
