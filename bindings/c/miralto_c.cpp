// The C interface over the conversion core: exceptions stop here and become statuses and
// messages in the caller's buffers.
#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <limits>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/batch.h"
#include "core/errors.h"
#include "core/operations.h"
#include "core/text.h"
#include "miralto.h"
#include "miralto_version.h"

namespace {

using miralto::ErrorKind;

// The status of each error kind, in the order of the core's table of kinds.
constexpr std::pair<ErrorKind, miralto_status> kKindStatus[] = {
    {ErrorKind::kConversion, MIRALTO_CONVERSION_ERROR},
    {ErrorKind::kOverflow, MIRALTO_OVERFLOW_ERROR},
    {ErrorKind::kFile, MIRALTO_FILE_ERROR},
    {ErrorKind::kEndOfFile, MIRALTO_END_OF_FILE},
    {ErrorKind::kOutOfReach, MIRALTO_OUT_OF_REACH},
    {ErrorKind::kInvalidCode, MIRALTO_INVALID_CODE},
};

static_assert(miralto::MapsEveryErrorKind(kKindStatus),
              "every kind of the core's table needs its status here and in miralto.h.in");

miralto_status StatusOf(ErrorKind kind) {
  return kKindStatus[static_cast<std::size_t>(kind)].second;
}

// Copies as much of `text` as fits, always NUL-terminated, and records the whole length. A cut text
// ends on a character boundary: half a UTF-8 sequence would make the caller's text invalid.
void Put(miralto_buffer& buffer, std::string_view text) {
  buffer.length = text.size();
  if (buffer.size == 0) return;
  const std::string_view kept = miralto::Utf8Prefix(text, buffer.size - 1);
  std::memcpy(buffer.data, kept.data(), kept.size());
  buffer.data[kept.size()] = '\0';
}

bool Usable(const miralto_buffer* buffer) {
  return buffer != nullptr && (buffer->data != nullptr || buffer->size == 0);
}

// A null text where the caller must give one.
struct NullArgument {
  const char* name;
};

std::string_view Text(const char* text, const char* name) {
  if (text == nullptr) throw NullArgument{name};
  return text;
}

miralto::DmsTexts Dms(const char* const* dms, std::size_t first) {
  if (dms == nullptr) throw NullArgument{"dms"};
  return {std::string(Text(dms[first], "dms[]")), std::string(Text(dms[first + 1], "dms[]")),
          std::string(Text(dms[first + 2], "dms[]"))};
}

miralto::Corrections Core(miralto_corrections c) { return {c.lon, c.lat}; }

// Runs `compute`, which returns the result texts for `results` in order, and turns its outcome
// into the status, the result buffers and the message.
template <typename Compute>
miralto_status Run(miralto_buffer* results, std::size_t count, miralto_buffer* message,
                   Compute&& compute) {
  auto fail = [&](miralto_status status, std::string_view text) {
    if (Usable(results)) {
      for (std::size_t i = 0; i < count; ++i) {
        if (Usable(&results[i])) Put(results[i], "");
      }
    }
    if (Usable(message)) Put(*message, text);
    return status;
  };
  if (message != nullptr && !Usable(message)) return MIRALTO_INVALID_ARGUMENT;
  bool usable = results != nullptr;
  for (std::size_t i = 0; usable && i < count; ++i) usable = Usable(&results[i]);
  if (!usable) return fail(MIRALTO_INVALID_ARGUMENT, "a result buffer is null, or has no data");
  try {
    const std::vector<std::string> texts = compute();
    bool fit = true;
    for (std::size_t i = 0; i < count; ++i) fit = fit && texts[i].size() < results[i].size;
    if (!fit) {
      const miralto_status status = fail(MIRALTO_BUFFER_TOO_SMALL,
                                         "a result buffer is too small; its length says how "
                                         "many bytes the text needs, without the NUL");
      for (std::size_t i = 0; i < count; ++i) results[i].length = texts[i].size();
      return status;
    }
    for (std::size_t i = 0; i < count; ++i) Put(results[i], texts[i]);
    if (Usable(message)) Put(*message, "");
    return MIRALTO_OK;
  } catch (const miralto::Error& error) {
    return fail(StatusOf(error.kind()), error.Message());
  } catch (const NullArgument& null) {
    return fail(MIRALTO_INVALID_ARGUMENT, std::string("the argument ") + null.name + " is null");
  } catch (const std::bad_alloc&) {
    return fail(MIRALTO_OUT_OF_MEMORY, "out of memory");
  } catch (const std::exception& error) {
    return fail(MIRALTO_INTERNAL_ERROR, error.what());
  } catch (...) {
    return fail(MIRALTO_INTERNAL_ERROR, "internal error");
  }
}

std::vector<std::string> Two(miralto::DecimalTexts&& d) {
  return {std::move(d.lon), std::move(d.lat)};
}

// The array functions' inputs and outputs: the caller's arrays, element i at index i.
using miralto::batch::Field;
using miralto::batch::FieldKind;

struct NumberColumns : miralto::batch::Inputs {
  NumberColumns(const double* lon, const double* lat) : columns{lon, lat} {}
  // NaN stays a number: a conversion error, as for miralto_encode_degrees.
  Field At(std::size_t column, std::size_t i) const override {
    return {FieldKind::kNumber, columns[column][i], {}};
  }
  std::array<const double*, 2> columns;
};

struct TextColumns : miralto::batch::Inputs {
  TextColumns(const char* const* first, const char* const* second) : columns{first, second} {}
  // A null text is missing: the caller's fault, not a failure of the conversion.
  Field At(std::size_t column, std::size_t i) const override {
    const char* text = columns[column][i];
    return text == nullptr ? Field{} : Field{FieldKind::kText, 0, text};
  }
  std::array<const char* const*, 2> columns;
};

// Results of the array functions; Clear gives an element that did not succeed its empty result.
struct ArrayOutputs : miralto::batch::Outputs {
  virtual void Clear(std::size_t i) = 0;
};

struct CodeColumn : ArrayOutputs {
  explicit CodeColumn(char* codes) : codes(codes) {}
  void Put(std::size_t i, miralto::batch::Results& r) override {
    // A code that passed the reach check has nine characters.
    const std::size_t n = std::min(r.texts[0].size(), std::size_t{MIRALTO_CODE_SIZE - 1});
    std::memcpy(codes + i * MIRALTO_CODE_SIZE, r.texts[0].data(), n);
    codes[i * MIRALTO_CODE_SIZE + n] = '\0';
  }
  void Clear(std::size_t i) override { codes[i * MIRALTO_CODE_SIZE] = '\0'; }
  char* codes;
};

struct DegreeColumns : ArrayOutputs {
  DegreeColumns(double* lon, double* lat) : lon(lon), lat(lat) {}
  void Put(std::size_t i, miralto::batch::Results& r) override {
    lon[i] = r.numbers[0];
    lat[i] = r.numbers[1];
  }
  void Clear(std::size_t i) override { lon[i] = lat[i] = std::numeric_limits<double>::quiet_NaN(); }
  double* lon;
  double* lat;
};

struct DifferenceColumns : ArrayOutputs {
  DifferenceColumns(int32_t* lon, int32_t* lat) : lon(lon), lat(lat) {}
  // Differences of two four-digit groups: whole numbers within 32 bits.
  void Put(std::size_t i, miralto::batch::Results& r) override {
    lon[i] = static_cast<int32_t>(r.numbers[0]);
    lat[i] = static_cast<int32_t>(r.numbers[1]);
  }
  void Clear(std::size_t i) override { lon[i] = lat[i] = 0; }
  int32_t* lon;
  int32_t* lat;
};

// Runs the batch operation `name` over `count` elements. Each element's status goes into
// `statuses` (may be null), and one that did not succeed gets its empty result. Returns the status
// of the earliest element that did not succeed, with its index in `failed_index` (may be null;
// `count` when none) and its message; MIRALTO_OK when every element succeeded.
miralto_status RunArray(std::string_view name, const miralto::batch::Inputs& inputs,
                        bool arrays_given, size_t count, miralto_corrections corrections,
                        ArrayOutputs& outputs, miralto_status* statuses, size_t* failed_index,
                        miralto_buffer* message) {
  if (message != nullptr && !Usable(message)) return MIRALTO_INVALID_ARGUMENT;
  auto done = [&](miralto_status status, std::string_view text) {
    if (Usable(message)) Put(*message, text);
    return status;
  };
  if (failed_index != nullptr) *failed_index = count;
  if (count > 0 && !arrays_given) {
    return done(MIRALTO_INVALID_ARGUMENT, "an input or result array is null");
  }
  try {
    std::vector<miralto::batch::ElementState> states(count);
    const auto failure = miralto::batch::Run(*miralto::batch::FindElementOperation(name), inputs,
                                             Core(corrections), false, states, outputs);
    std::size_t first = count;
    for (std::size_t i = 0; i < count; ++i) {
      miralto_status status = MIRALTO_OK;
      if (states[i].status == miralto::batch::ElementStatus::kMissing) {
        status = MIRALTO_INVALID_ARGUMENT;
      } else if (states[i].status == miralto::batch::ElementStatus::kFailed) {
        status = StatusOf(states[i].kind);
      }
      if (status != MIRALTO_OK) {
        outputs.Clear(i);
        if (first == count) first = i;
      }
      if (statuses != nullptr) statuses[i] = status;
    }
    if (first == count) return done(MIRALTO_OK, "");
    if (failed_index != nullptr) *failed_index = first;
    const std::string element = "element " + std::to_string(first) + ": ";
    if (failure && failure->index == first) {
      return done(StatusOf(failure->error.kind()), element + failure->error.Message());
    }
    return done(MIRALTO_INVALID_ARGUMENT, element + "a text is null");
  } catch (const std::bad_alloc&) {
    return done(MIRALTO_OUT_OF_MEMORY, "out of memory");
  } catch (const std::exception& error) {
    return done(MIRALTO_INTERNAL_ERROR, error.what());
  }
}

std::vector<std::string> Six(miralto::DmsTexts&& lon, miralto::DmsTexts&& lat) {
  return {std::move(lon.degrees), std::move(lon.minutes), std::move(lon.seconds),
          std::move(lat.degrees), std::move(lat.minutes), std::move(lat.seconds)};
}

}  // namespace

extern "C" {

const char* miralto_version(void) { return MIRALTO_VERSION; }

const char* miralto_status_name(miralto_status status) {
  switch (status) {
    case MIRALTO_OK:
      return "ok";
    case MIRALTO_BUFFER_TOO_SMALL:
      return "buffer too small";
    case MIRALTO_INVALID_ARGUMENT:
      return "invalid argument";
    case MIRALTO_OUT_OF_MEMORY:
      return "out of memory";
    case MIRALTO_INTERNAL_ERROR:
      return "internal error";
    default:
      break;
  }
  for (const auto& [kind, s] : kKindStatus) {
    if (s == status) return miralto::KindName(kind).data();
  }
  return "unknown status";
}

miralto_status miralto_to_dms(const char* lon, const char* lat, miralto_buffer dms[6],
                              miralto_buffer* message) {
  return Run(dms, 6, message, [&] {
    const std::string_view lon_text = Text(lon, "lon");
    const std::string_view lat_text = Text(lat, "lat");
    miralto::DmsTexts lon_dms = miralto::DecimalToDms(lon_text);
    return Six(std::move(lon_dms), miralto::DecimalToDms(lat_text));
  });
}

miralto_status miralto_to_dd(const char* const dms[6], miralto_buffer dd[2],
                             miralto_buffer* message) {
  return Run(dd, 2, message, [&] {
    return Two(miralto::DmsToDecimal(miralto::PositionTexts{Dms(dms, 0), Dms(dms, 3)}));
  });
}

miralto_status miralto_encode_dms(const char* const dms[6], miralto_corrections corrections,
                                  miralto_buffer* code, miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{miralto::EncodePosition(
        miralto::PositionTexts{Dms(dms, 0), Dms(dms, 3)}, Core(corrections))};
  });
}

miralto_status miralto_encode(const char* lon, const char* lat, miralto_corrections corrections,
                              miralto_buffer* code, miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{
        miralto::EncodeDegrees(Text(lon, "lon"), Text(lat, "lat"), Core(corrections))};
  });
}

miralto_status miralto_encode_degrees(double lon, double lat, miralto_corrections corrections,
                                      miralto_buffer* code, miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{miralto::EncodeDegrees(lon, lat, Core(corrections))};
  });
}

miralto_status miralto_decode(const char* code, miralto_corrections corrections,
                              miralto_buffer dms[6], miralto_buffer* message) {
  return Run(dms, 6, message, [&] {
    miralto::PositionTexts p = miralto::DecodePosition(Text(code, "code"), Core(corrections));
    return Six(std::move(p.lon), std::move(p.lat));
  });
}

miralto_status miralto_decode_dd(const char* code, miralto_corrections corrections,
                                 miralto_buffer dd[2], miralto_buffer* message) {
  return Run(dd, 2, message,
             [&] { return Two(miralto::DecodeDegrees(Text(code, "code"), Core(corrections))); });
}

miralto_status miralto_encode_notation(const char* first, const char* second,
                                       miralto_corrections corrections, miralto_buffer* code,
                                       miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{miralto::WrittenPositions().Code(
        Text(first, "first"), Text(second, "second"), Core(corrections))};
  });
}

miralto_status miralto_notation_to_dd(const char* first, const char* second, miralto_buffer dd[2],
                                      miralto_buffer* message) {
  return Run(dd, 2, message, [&] {
    return Two(miralto::WrittenPositions().Degrees(Text(first, "first"), Text(second, "second")));
  });
}

miralto_status miralto_compare(const char* code, const char* reference,
                               miralto_buffer difference[2], miralto_buffer* message) {
  return Run(difference, 2, message, [&] {
    miralto::CodeDifference d =
        miralto::CompareCodes(Text(code, "code"), Text(reference, "reference"));
    return std::vector<std::string>{std::move(d.lon), std::move(d.lat)};
  });
}

miralto_status miralto_encode_array(const double* lon, const double* lat, size_t count,
                                    miralto_corrections corrections, char* codes,
                                    miralto_status* statuses, size_t* failed_index,
                                    miralto_buffer* message) {
  CodeColumn outputs(codes);
  return RunArray("encode", NumberColumns(lon, lat), lon && lat && codes, count, corrections,
                  outputs, statuses, failed_index, message);
}

miralto_status miralto_decode_dd_array(const char* const* codes, size_t count,
                                       miralto_corrections corrections, double* lon, double* lat,
                                       miralto_status* statuses, size_t* failed_index,
                                       miralto_buffer* message) {
  DegreeColumns outputs(lon, lat);
  return RunArray("decode_dd", TextColumns(codes, nullptr), codes && lon && lat, count, corrections,
                  outputs, statuses, failed_index, message);
}

miralto_status miralto_compare_array(const char* const* codes, const char* const* references,
                                     size_t count, int32_t* lon, int32_t* lat,
                                     miralto_status* statuses, size_t* failed_index,
                                     miralto_buffer* message) {
  DifferenceColumns outputs(lon, lat);
  return RunArray("compare", TextColumns(codes, references), codes && references && lon && lat,
                  count, {0, 0}, outputs, statuses, failed_index, message);
}

}  // extern "C"
