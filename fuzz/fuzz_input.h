// Turns a fuzzer's bytes into the texts and numbers a target needs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "core/position_code.h"

namespace miralto::fuzz {

// A property that must hold; a failure stops the fuzzer with a finding.
inline void Require(bool holds) {
  if (!holds) std::abort();
}

// The bytes as texts split at line feeds, padded with empty texts to at least `count`.
inline std::vector<std::string_view> Texts(const std::uint8_t* data, std::size_t size,
                                           std::size_t count) {
  std::vector<std::string_view> texts;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  for (std::size_t at; (at = all.find('\n', start)) != std::string_view::npos; start = at + 1) {
    texts.push_back(all.substr(start, at - start));
  }
  texts.push_back(all.substr(start));
  while (texts.size() < count) texts.emplace_back();
  return texts;
}

// Corrections from the first text when it starts with "c": mostly small, sometimes extreme.
inline Corrections CorrectionsFrom(std::string_view text) {
  Corrections c;
  if (text.size() >= 9 && text[0] == 'c') {
    std::int32_t lon = 0, lat = 0;
    for (int i = 0; i < 4; ++i) {
      lon = static_cast<std::int32_t>(static_cast<std::uint32_t>(lon) << 8 |
                                      static_cast<unsigned char>(text[1 + i]));
      lat = static_cast<std::int32_t>(static_cast<std::uint32_t>(lat) << 8 |
                                      static_cast<unsigned char>(text[5 + i]));
    }
    c = {lon, lat};
  }
  return c;
}

}  // namespace miralto::fuzz
