// Comparison of two position codes, digit group by digit group.
#pragma once

#include <string>
#include <string_view>

namespace miralto {

// Code minus reference, in tenths of arc-second, as DoubleText: the units and sense of the
// correction values.
struct CodeDifference {
  std::string lat;
  std::string lon;
};

// Compares the rightmost eight characters of each text (the zone digit of a nine-character code is
// ignored; an eight-character text has none). Throws InvalidCodeError, naming the field ("code" or
// "reference") and the offending character, unless each text has eight or nine characters and the
// eight compared ones are digits of the alphabet.
CodeDifference CompareCodes(std::string_view code, std::string_view reference);

}  // namespace miralto
