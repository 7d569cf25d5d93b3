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

#include "bindings/sql/sql_functions.h"
#include "core/batch.h"
#include "core/errors.h"
#include "core/numbers.h"

SQLITE_EXTENSION_INIT1

namespace miralto::sqlite {
namespace {

using batch::Field;
using batch::FieldKind;

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

void Call(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const auto& function = *static_cast<const sql::Function*>(sqlite3_user_data(context));
  try {
    const sql::Value value = sql::Call(function, Fields(argc, argv));
    switch (value.type) {
      case sql::Value::Type::kNull:
        sqlite3_result_null(context);
        return;
      case sql::Value::Type::kNumber:
        sqlite3_result_double(context, value.number);
        return;
      case sql::Value::Type::kInteger:
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(value.integer));
        return;
      case sql::Value::Type::kText:
        sqlite3_result_text(context, value.text.data(), static_cast<int>(value.text.size()),
                            SQLITE_TRANSIENT);
        return;
    }
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
  for (const sql::Function& function : sql::kFunctions) {
    const std::string name(function.name);
    const int inputs = static_cast<int>(sql::OperationOf(function).inputs);
    const bool corrected = sql::OperationOf(function).corrected;
    for (int extra = 0; extra <= (corrected ? 2 : 0); extra += 2) {
      // The table is static: its rows outlive every connection.
      const int rc = sqlite3_create_function_v2(
          db, name.c_str(), inputs + extra, flags,
          const_cast<void*>(static_cast<const void*>(&function)), Call, nullptr, nullptr, nullptr);
      if (rc != SQLITE_OK) {
        if (error_message != nullptr) {
          *error_message =
              sqlite3_mprintf("cannot register %s: %s", name.c_str(), sqlite3_errmsg(db));
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
