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

#include "comparison.h"
#include "errors.h"
#include "fields.h"
#include "numbers.h"
#include "position_code.h"

SQLITE_EXTENSION_INIT1

namespace miralto::sqlite {
namespace {

using bindings::Field;
using bindings::FieldKind;

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
  auto value = [](const Field& f) {
    return RoundToLong(f.kind == FieldKind::kNumber ? f.number : ParseLenient(f.text));
  };
  return {value(fields[first]), value(fields[first + 1])};
}

enum class Function {
  kEncode,
  kEncodeNotation,
  kEncodeDms,
  kLon,
  kLat,
  kDms,
  kCompareLon,
  kCompareLat
};

void Call(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const auto function =
      static_cast<Function>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(context)));
  try {
    const std::vector<Field> f = Fields(argc, argv);
    if (AnyMissing(f)) {
      sqlite3_result_null(context);
      return;
    }
    using bindings::Text;
    std::string text;
    switch (function) {
      case Function::kEncode:
        text = EncodePosition(
            PositionValues{bindings::DegreeValues(f[0]), bindings::DegreeValues(f[1])},
            CorrectionsAt(f, 2));
        break;
      case Function::kEncodeNotation:
        text =
            EncodePosition(bindings::WrittenPosition(Text(f[0]), Text(f[1])), CorrectionsAt(f, 2));
        break;
      case Function::kEncodeDms:
        text = EncodePosition(
            {{Text(f[0]), Text(f[1]), Text(f[2])}, {Text(f[3]), Text(f[4]), Text(f[5])}},
            CorrectionsAt(f, 6));
        break;
      case Function::kLon:
      case Function::kLat: {
        const PositionTexts p = DecodePosition(Text(f[0]), CorrectionsAt(f, 1));
        // The number the window's text shows: its 15 digits read back exactly.
        sqlite3_result_double(
            context, ParseStrict(function == Function::kLon ? DmsToDecimal(p.lon, "longitude")
                                                            : DmsToDecimal(p.lat, "latitude")));
        return;
      }
      case Function::kDms: {
        const PositionTexts p = DecodePosition(Text(f[0]), CorrectionsAt(f, 1));
        text = p.lon.degrees + " " + p.lon.minutes + " " + p.lon.seconds + " " + p.lat.degrees +
               " " + p.lat.minutes + " " + p.lat.seconds;
        break;
      }
      case Function::kCompareLon:
      case Function::kCompareLat: {
        const CodeDifference d = CompareCodes(Text(f[0]), Text(f[1]));
        // Differences of two four-digit groups: whole numbers well within 64 bits.
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(ParseStrict(
                                          function == Function::kCompareLon ? d.lon : d.lat)));
        return;
      }
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

struct Definition {
  const char* name;
  Function function;
  int arguments;  // without corrections
  bool corrections;
};

// Every function, and whether it also takes the two corrections after its own arguments.
constexpr Definition kFunctions[] = {
    {"vemo_encode", Function::kEncode, 2, true},
    {"vemo_encode_notation", Function::kEncodeNotation, 2, true},
    {"vemo_encode_dms", Function::kEncodeDms, 6, true},
    {"vemo_lon", Function::kLon, 1, true},
    {"vemo_lat", Function::kLat, 1, true},
    {"vemo_dms", Function::kDms, 1, true},
    {"vemo_compare_lon", Function::kCompareLon, 2, false},
    {"vemo_compare_lat", Function::kCompareLat, 2, false},
};

int Register(sqlite3* db, char** error_message) {
  int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
#ifdef SQLITE_INNOCUOUS
  flags |= SQLITE_INNOCUOUS;  // no side effects: usable in views, triggers and indexes
#endif
  for (const Definition& d : kFunctions) {
    for (int extra = 0; extra <= (d.corrections ? 2 : 0); extra += 2) {
      const int rc = sqlite3_create_function_v2(
          db, d.name, d.arguments + extra, flags,
          reinterpret_cast<void*>(static_cast<std::intptr_t>(d.function)), Call, nullptr, nullptr,
          nullptr);
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
