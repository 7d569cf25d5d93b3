// Tests that need an installed locale: outside the test command a missing one is a skip with its
// reason, inside it (which generates the locales and sets MIRALTO_REQUIRE_LOCALES=1) a failure.
#pragma once

#include <cstdlib>
#include <string_view>

namespace miralto::tests {

// Whether a missing locale must fail the test rather than skip it.
inline bool LocalesRequired() {
  const char* required = std::getenv("MIRALTO_REQUIRE_LOCALES");
  return required != nullptr && std::string_view(required) == "1";
}

}  // namespace miralto::tests
