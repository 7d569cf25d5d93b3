// The SQL functions' side in C++: the arguments as the batch layer's fields, the operations of its
// table, and every failure caught and turned into a filled result. PostgreSQL is not called from
// here.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "bindings/postgresql/miralto_pg.h"
#include "bindings/sql/sql_functions.h"
#include "core/batch.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/text.h"

namespace miralto::postgresql {
namespace {

using batch::Field;
using batch::FieldKind;

// The outcome of each error kind, in the order of the core's table of kinds: its SQLSTATE is the
// C side's.
constexpr std::pair<ErrorKind, MiraltoPgOutcome> kKindOutcome[] = {
    {ErrorKind::kConversion, MIRALTO_PG_INVALID_TEXT},
    {ErrorKind::kOverflow, MIRALTO_PG_OUT_OF_RANGE},
    {ErrorKind::kFile, MIRALTO_PG_INTERNAL_ERROR},       // no SQL function opens a file
    {ErrorKind::kEndOfFile, MIRALTO_PG_INTERNAL_ERROR},  // nor reads one
    {ErrorKind::kOutOfReach, MIRALTO_PG_INVALID_VALUE},
    {ErrorKind::kInvalidCode, MIRALTO_PG_INVALID_VALUE},
};

static_assert(MapsEveryErrorKind(kKindOutcome),
              "every kind of the core's table needs its outcome here (and so its SQLSTATE)");

MiraltoPgOutcome OutcomeOf(ErrorKind kind) {
  return kKindOutcome[static_cast<std::size_t>(kind)].second;
}

// Copies `text` into `buffer`, cut at a UTF-8 character boundary when it does not fit.
template <std::size_t N>
void CopyText(std::string_view text, char (&buffer)[N]) {
  const std::string_view kept = Utf8Prefix(text, N - 1);
  std::memcpy(buffer, kept.data(), kept.size());
  buffer[kept.size()] = '\0';
}

// The text a failure is about: the first quoted input of its detail as typed (escaped, cut when
// long), else its first value as the message writes it.
std::string OffendingText(const Error& error) {
  const std::vector<Argument>& arguments = error.detail().arguments;
  for (const Argument& a : arguments) {
    if (a.type() == Argument::Type::kQuoted) return a.text();
  }
  for (const Argument& a : arguments) {
    if (a.type() != Argument::Type::kTerm) return FormatEnglish({MessageId::kAsIs, {a}});
  }
  return {};
}

// One element on the backend's own thread, never the batch layer's threads: a PostgreSQL backend
// must not start threads; the server's parallel workers share the rows instead.
void Run(const char* name, const std::vector<Field>& f, MiraltoPgResult& result) {
  const sql::Function* function = sql::FindFunction(name);
  if (function == nullptr) throw std::invalid_argument("unknown function " + std::string(name));
  const sql::Value value = sql::Call(*function, f);
  switch (value.type) {
    case sql::Value::Type::kNull:
      result.outcome = MIRALTO_PG_NULL_RESULT;
      return;
    case sql::Value::Type::kNumber:
      result.number = value.number;
      result.outcome = MIRALTO_PG_NUMBER_RESULT;
      return;
    case sql::Value::Type::kInteger:
      result.integer = value.integer;
      result.outcome = MIRALTO_PG_INTEGER_RESULT;
      return;
    case sql::Value::Type::kText:
      if (value.text.size() >= sizeof result.text) throw std::length_error("result text too long");
      CopyText(value.text, result.text);
      result.outcome = MIRALTO_PG_TEXT_RESULT;
      return;
  }
}

}  // namespace
}  // namespace miralto::postgresql

extern "C" void miralto_pg_call(const char* function, const MiraltoPgArg* args, int count,
                                MiraltoPgResult* result) noexcept {
  using namespace miralto;
  using namespace miralto::postgresql;
  result->outcome = MIRALTO_PG_INTERNAL_ERROR;
  result->message[0] = '\0';
  result->detail[0] = '\0';
  result->text[0] = '\0';
  try {
    std::vector<Field> fields(static_cast<std::size_t>(std::max(count, 0)));
    for (std::size_t i = 0; i < fields.size(); ++i) {
      const MiraltoPgArg& a = args[i];
      Field& f = fields[i];
      if (a.kind == MIRALTO_PG_NUMBER && !std::isnan(a.number)) {
        f.kind = FieldKind::kNumber;
        f.number = a.number;
      } else if (a.kind == MIRALTO_PG_TEXT) {
        f.kind = FieldKind::kText;
        f.text = std::string_view(a.text, a.length);
      }
    }
    Run(function, fields, *result);
  } catch (const Error& error) {
    // Telling the failure allocates too; a failure there still leaves a result.
    try {
      result->outcome = OutcomeOf(error.kind());
      CopyText(error.Message(), result->message);
      CopyText(OffendingText(error), result->detail);
    } catch (...) {
      result->outcome = MIRALTO_PG_OUT_OF_MEMORY;
      CopyText("out of memory", result->message);
      result->detail[0] = '\0';
    }
  } catch (const std::bad_alloc&) {
    result->outcome = MIRALTO_PG_OUT_OF_MEMORY;
    CopyText("out of memory", result->message);
  } catch (const std::exception& error) {
    result->outcome = MIRALTO_PG_INTERNAL_ERROR;
    CopyText(error.what(), result->message);
  } catch (...) {
    result->outcome = MIRALTO_PG_INTERNAL_ERROR;
    CopyText("unexpected failure", result->message);
  }
}
