// Test vectors: commented CSV files under tests/data, one case a row.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "core/errors.h"

namespace miralto::testing {

struct Vector {
  std::string file;
  int line = 0;
  std::vector<std::string> fields;

  const std::string& operator[](std::size_t i) const { return fields.at(i); }
};

// The rows of tests/data/`name`: RFC 4180 fields (quotes keep commas and blanks), lines starting
// with '#' and empty lines skipped. Fails the calling test if the file cannot be read.
std::vector<Vector> ReadVectors(const std::string& name);

// Rows whose first field is `first`, the rest of the fields kept.
std::vector<Vector> ReadVectors(const std::string& name, const std::string& first);

// How an error kind is written in an expected field: "error:" and its name, as in
// "error:conversion error" or "error:out of reach".
std::string ErrorTag(ErrorKind kind);

// What `operation` gives, or the ErrorTag of the tool's error that it throws, so that a table's
// expected field can hold either.
std::string Outcome(const std::function<std::string()>& operation);

// What `operation` gives, or the kind and message of the tool's error that it throws, for
// comparing two ways of computing the same thing failures included.
std::string OutcomeWithMessage(const std::function<std::string()>& operation);

// The shortest text that reads back as exactly `value` (for comparing doubles bit for bit).
std::string Exact(double value);

inline void PrintTo(const Vector& v, std::ostream* os) { *os << v.file << ":" << v.line; }

}  // namespace miralto::testing
