#include "tests/vectors.h"

#include <gtest/gtest.h>

#include <charconv>
#include <fstream>

#include "core/errors.h"

namespace miralto::testing {

namespace {

std::vector<std::string> SplitCsv(const std::string& line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
      fields.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

std::vector<Vector> ReadVectors(const std::string& name) {
  std::ifstream in(std::string(MIRALTO_TEST_DATA_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read test vectors " << name;
  std::vector<Vector> rows;
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    rows.push_back({name, number, SplitCsv(line)});
  }
  return rows;
}

std::vector<Vector> ReadVectors(const std::string& name, const std::string& first) {
  std::vector<Vector> rows;
  for (Vector& row : ReadVectors(name)) {
    if (row[0] == first) rows.push_back(std::move(row));
  }
  return rows;
}

std::string ErrorTag(ErrorKind kind) { return "error:" + std::string(KindName(kind)); }

std::string Outcome(const std::function<std::string()>& operation) {
  try {
    return operation();
  } catch (const Error& error) {
    return ErrorTag(error.kind());
  }
}

std::string OutcomeWithMessage(const std::function<std::string()>& operation) {
  try {
    return operation();
  } catch (const Error& error) {
    return std::string(KindName(error.kind())) + ": " + error.Message();
  }
}

std::string Exact(double value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

}  // namespace miralto::testing
