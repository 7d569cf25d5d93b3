// The position code's quick road, for the tests only: a code it does not pass takes the walk that
// names a fault, which passes a valid code too, so only a test that asks the road sees it refuse
// one.
#pragma once

#include <string_view>

namespace miralto::internal {

// ValidateCode's road for the bulk of any input: true for nine bytes that are a zone digit 5 to 8
// and eight base-34 digits.
bool IsPlainValidCode(std::string_view code);

}  // namespace miralto::internal
