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
#include "core/batch.h"
#include "core/errors.h"
#include "core/numbers.h"

namespace miralto::postgresql {
namespace {

using batch::ElementOperation;
using batch::Field;
using batch::FieldKind;
using batch::ResultKind;

// What an SQL function returns from its operation's results.
enum class Shape {
  kFirst,   // the first result
  kSecond,  // the second result
  kJoined,  // every text result, joined by blanks
};

struct Definition {
  MiraltoPgOperation function;
  std::string_view operation;  // a row of the batch table
  Shape shape;
};

// Every function, in the order of MiraltoPgOperation, as the SQLite extension defines it. One
// whose operation takes the corrections also takes them after its own arguments.
constexpr Definition kFunctions[] = {
    {MIRALTO_PG_ENCODE, "encode", Shape::kFirst},
    {MIRALTO_PG_ENCODE_NOTATION, "encode_notation", Shape::kFirst},
    {MIRALTO_PG_ENCODE_DMS, "encode_dms", Shape::kFirst},
    {MIRALTO_PG_LON, "decode_dd", Shape::kFirst},
    {MIRALTO_PG_LAT, "decode_dd", Shape::kSecond},
    {MIRALTO_PG_DMS, "decode", Shape::kJoined},
    {MIRALTO_PG_COMPARE_LON, "compare", Shape::kFirst},
    {MIRALTO_PG_COMPARE_LAT, "compare", Shape::kSecond},
};

constexpr bool InOrder() {
  for (std::size_t i = 0; i < std::size(kFunctions); ++i) {
    if (static_cast<std::size_t>(kFunctions[i].function) != i) return false;
  }
  return true;
}
static_assert(InOrder(), "kFunctions lists the functions in the order of MiraltoPgOperation");

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

constexpr bool EveryKindHasItsOutcome() {
  if (std::size(kKindOutcome) != kErrorKindCount) return false;
  for (std::size_t i = 0; i < kErrorKindCount; ++i) {
    if (kKindOutcome[i].first != kErrorKinds[i].kind) return false;
  }
  return true;
}
static_assert(EveryKindHasItsOutcome(),
              "every kind of the core's table needs its outcome here (and so its SQLSTATE)");

MiraltoPgOutcome OutcomeOf(ErrorKind kind) {
  return kKindOutcome[static_cast<std::size_t>(kind)].second;
}

// The corrections that follow the first `first` arguments, when the call has them, read as the
// window reads its correction fields: the nearest integer of the number or of the text's leading
// number.
Corrections CorrectionsAt(const std::vector<Field>& fields, std::size_t first) {
  if (fields.size() <= first + 1) return {};
  auto value = [](const Field& f) {
    return RoundToLong(f.kind == FieldKind::kNumber ? f.number : ParseLenient(f.text));
  };
  return {value(fields[first]), value(fields[first + 1])};
}

// Copies `text` into `buffer`, cut at a UTF-8 character boundary when it does not fit.
template <std::size_t N>
void CopyText(std::string_view text, char (&buffer)[N]) {
  std::size_t length = std::min(text.size(), N - 1);
  if (length < text.size()) {
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
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
void Run(MiraltoPgOperation function, const std::vector<Field>& f, MiraltoPgResult& result) {
  if (function < 0 || static_cast<std::size_t>(function) >= std::size(kFunctions)) {
    throw std::invalid_argument("unknown function " + std::to_string(function));
  }
  const Definition& definition = kFunctions[function];
  const ElementOperation* op = batch::FindElementOperation(definition.operation);
  if (op == nullptr) throw std::logic_error("no operation " + std::string(definition.operation));
  if (f.size() < op->inputs) throw std::invalid_argument("too few arguments");
  for (const Field& field : f) {
    if (field.kind == FieldKind::kMissing) {
      result.outcome = MIRALTO_PG_NULL_RESULT;
      return;
    }
  }
  batch::Results r;
  op->run(f.data(), op->corrected ? CorrectionsAt(f, op->inputs) : Corrections{}, r);
  const std::size_t at = definition.shape == Shape::kSecond ? 1 : 0;
  switch (op->kind) {
    case ResultKind::kNumber:
      // The number the window's text shows: its 15 digits read back exactly.
      result.number = r.numbers[at];
      result.outcome = MIRALTO_PG_NUMBER_RESULT;
      return;
    case ResultKind::kInteger:
      // Differences of two four-digit groups: whole numbers well within 32 bits.
      result.integer = static_cast<std::int64_t>(r.numbers[at]);
      result.outcome = MIRALTO_PG_INTEGER_RESULT;
      return;
    case ResultKind::kText:
      break;
  }
  std::string text = r.texts[at];
  if (definition.shape == Shape::kJoined) {
    for (std::size_t i = 1; i < op->outputs; ++i) text += " " + r.texts[i];
  }
  if (text.size() >= sizeof result.text) throw std::length_error("result text too long");
  CopyText(text, result.text);
  result.outcome = MIRALTO_PG_TEXT_RESULT;
}

}  // namespace
}  // namespace miralto::postgresql

extern "C" void miralto_pg_call(int operation, const MiraltoPgArg* args, int count,
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
    Run(static_cast<MiraltoPgOperation>(operation), fields, *result);
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
