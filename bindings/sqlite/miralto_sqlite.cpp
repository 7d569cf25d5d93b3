// The SQLite extension: the window's operations as deterministic SQL functions. A failure is an
// SQL error with the message; NULL in any argument gives NULL.
#include <sqlite3ext.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch.h"
#include "core/errors.h"
#include "core/numbers.h"

SQLITE_EXTENSION_INIT1

namespace miralto::sqlite {
namespace {

using batch::ElementOperation;
using batch::Field;
using batch::FieldKind;
using batch::ResultKind;

// The arguments as fields. Texts point into SQLite's own copies, valid for the call.
std::vector<Field> Fields(int argc, sqlite3_value** argv) {
  std::vector<Field> fields(static_cast<std::size_t>(argc));
  for (int i = 0; i < argc; ++i) {
    Field& f = fields[static_cast<std::size_t>(i)];
    switch (sqlite3_value_type(argv[i])) {
      case SQLITE_NULL:
        break;
      case SQLITE_FLOAT:
        f.number = sqlite3_value_double(argv[i]);
        f.kind = std::isnan(f.number) ? FieldKind::kMissing : FieldKind::kNumber;
        break;
      default: {  // an integer as its exact decimal text; texts and blobs as they are
        const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
        if (text == nullptr) throw std::bad_alloc();
        f.kind = FieldKind::kText;
        f.text = std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(argv[i])));
        break;
      }
    }
  }
  return fields;
}

bool AnyMissing(const std::vector<Field>& fields) {
  for (const Field& f : fields) {
    if (f.kind == FieldKind::kMissing) return true;
  }
  return false;
}

// The two corrections that follow the first `first` arguments, when the call has them, read as
// the window reads its correction fields: the nearest integer of the number or of the text's
// leading number.
Corrections CorrectionsAt(const std::vector<Field>& fields, std::size_t first) {
  if (fields.size() <= first) return {};
  return {batch::CorrectionOf(fields[first]), batch::CorrectionOf(fields[first + 1])};
}

// What an SQL function returns from its operation's results.
enum class Shape {
  kFirst,   // the first result
  kSecond,  // the second result
  kJoined,  // every text result, joined by blanks
};

struct Definition {
  const char* name;
  std::string_view operation;  // a row of the batch table
  Shape shape;
};

// Every function. One whose operation takes the corrections also takes them after its own
// arguments.
constexpr Definition kFunctions[] = {
    {"vemo_encode", "encode", Shape::kFirst},
    {"vemo_encode_notation", "encode_notation", Shape::kFirst},
    {"vemo_encode_dms", "encode_dms", Shape::kFirst},
    {"vemo_lon", "decode_dd", Shape::kFirst},
    {"vemo_lat", "decode_dd", Shape::kSecond},
    {"vemo_dms", "decode", Shape::kJoined},
    {"vemo_compare_lon", "compare", Shape::kFirst},
    {"vemo_compare_lat", "compare", Shape::kSecond},
};

struct Bound {
  const ElementOperation* op;
  Shape shape;
};

void Call(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const auto& bound = *static_cast<const Bound*>(sqlite3_user_data(context));
  const ElementOperation& op = *bound.op;
  try {
    const std::vector<Field> f = Fields(argc, argv);
    if (AnyMissing(f)) {
      sqlite3_result_null(context);
      return;
    }
    batch::Results r;
    op.run(f.data(), CorrectionsAt(f, op.inputs), r);
    const std::size_t at = bound.shape == Shape::kSecond ? 1 : 0;
    switch (op.kind) {
      case ResultKind::kNumber:
        // The number the window's text shows: its 15 digits read back exactly.
        sqlite3_result_double(context, r.numbers[at]);
        return;
      case ResultKind::kInteger:
        // Differences of two four-digit groups: whole numbers well within 64 bits.
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(r.numbers[at]));
        return;
      case ResultKind::kText:
        break;
    }
    std::string text = r.texts[at];
    if (bound.shape == Shape::kJoined) {
      for (std::size_t i = 1; i < op.outputs; ++i) text += " " + r.texts[i];
    }
    sqlite3_result_text(context, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  } catch (const Error& error) {
    const std::string message = error.Message();
    sqlite3_result_error(context, message.data(), static_cast<int>(message.size()));
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  } catch (const std::exception& error) {
    sqlite3_result_error(context, error.what(), -1);
  }
}

int Register(sqlite3* db, char** error_message) {
  int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
#ifdef SQLITE_INNOCUOUS
  flags |= SQLITE_INNOCUOUS;  // no side effects: usable in views, triggers and indexes
#endif
  // The operations live as long as the program: the bindings can too.
  static const std::vector<Bound> bound = [] {
    std::vector<Bound> rows;
    for (const Definition& d : kFunctions) {
      rows.push_back({batch::FindElementOperation(d.operation), d.shape});
    }
    return rows;
  }();
  for (std::size_t i = 0; i < std::size(kFunctions); ++i) {
    const Definition& d = kFunctions[i];
    const ElementOperation& op = *bound[i].op;
    for (int extra = 0; extra <= (op.corrected ? 2 : 0); extra += 2) {
      const int rc = sqlite3_create_function_v2(
          db, d.name, static_cast<int>(op.inputs) + extra, flags,
          const_cast<void*>(static_cast<const void*>(&bound[i])), Call, nullptr, nullptr, nullptr);
      if (rc != SQLITE_OK) {
        if (error_message != nullptr) {
          *error_message = sqlite3_mprintf("cannot register %s: %s", d.name, sqlite3_errmsg(db));
        }
        return rc;
      }
    }
  }
  return SQLITE_OK;
}

}  // namespace
}  // namespace miralto::sqlite

extern "C" {

// The entry point SQLite derives from the file name miralto_sqlite.so.
__attribute__((visibility("default"))) int sqlite3_miraltosqlite_init(
    sqlite3* db, char** error_message, const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  return miralto::sqlite::Register(db, error_message);
}

// The generic entry point, for a copy of the extension under another name.
__attribute__((visibility("default"))) int sqlite3_extension_init(sqlite3* db, char** error_message,
                                                                  const sqlite3_api_routines* api) {
  return sqlite3_miraltosqlite_init(db, error_message, api);
}
}
