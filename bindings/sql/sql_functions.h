// The SQL functions that the SQLite and the PostgreSQL extension both offer: their names, the
// batch operation each runs and which of its results it returns. Each extension only turns its
// host's arguments into fields and a Value into its host's result.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/batch.h"

namespace miralto::sql {

// What an SQL function returns from its operation's results.
enum class Shape : std::uint8_t {
  kFirst,   // the first result
  kSecond,  // the second result
  kJoined,  // every text result, joined by blanks
};

struct Function {
  std::string_view name;       // the SQL name: "vemo_encode"
  std::string_view operation;  // a row of the batch table
  Shape shape;
};

// Every function. One whose operation takes the corrections also takes them, as two more
// arguments, after its own.
inline constexpr Function kFunctions[] = {
    {"vemo_encode", "encode", Shape::kFirst},
    {"vemo_encode_notation", "encode_notation", Shape::kFirst},
    {"vemo_encode_dms", "encode_dms", Shape::kFirst},
    {"vemo_lon", "decode_dd", Shape::kFirst},
    {"vemo_lat", "decode_dd", Shape::kSecond},
    {"vemo_dms", "decode", Shape::kJoined},
    {"vemo_compare_lon", "compare", Shape::kFirst},
    {"vemo_compare_lat", "compare", Shape::kSecond},
};

// One call's result: SQL NULL, a text, a float or an integer.
struct Value {
  enum class Type : std::uint8_t { kNull, kText, kNumber, kInteger };
  Type type = Type::kNull;
  std::string text;
  double number = 0;
  std::int64_t integer = 0;
};

// The function named `name`, or nullptr.
const Function* FindFunction(std::string_view name);

// The batch operation `function` runs; every row of kFunctions names one (a test pins it).
const batch::ElementOperation& OperationOf(const Function& function);

// Runs `function` on `arguments`: NULL when any is missing, else the shaped result. Arguments
// beyond the operation's own are its corrections (batch::CorrectionOf). Throws the core's Error,
// and std::invalid_argument for too few arguments.
Value Call(const Function& function, std::span<const batch::Field> arguments);

}  // namespace miralto::sql
