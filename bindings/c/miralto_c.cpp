// The C interface over the conversion core: exceptions stop here and become statuses and
// messages in the caller's buffers.
#include <array>
#include <cstring>
#include <exception>
#include <initializer_list>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "angle_forms.h"
#include "comparison.h"
#include "errors.h"
#include "fields.h"
#include "miralto.h"
#include "position_code.h"

namespace {

using miralto::ErrorKind;

// The status of each error kind, in the order of ErrorKind.
constexpr std::array<std::pair<ErrorKind, miralto_status>, 6> kKindStatus = {{
    {ErrorKind::kConversion, MIRALTO_CONVERSION_ERROR},
    {ErrorKind::kOverflow, MIRALTO_OVERFLOW_ERROR},
    {ErrorKind::kFile, MIRALTO_FILE_ERROR},
    {ErrorKind::kEndOfFile, MIRALTO_END_OF_FILE},
    {ErrorKind::kOutOfReach, MIRALTO_OUT_OF_REACH},
    {ErrorKind::kInvalidCode, MIRALTO_INVALID_CODE},
}};

miralto_status StatusOf(ErrorKind kind) {
  for (const auto& [k, status] : kKindStatus) {
    if (k == kind) return status;
  }
  return MIRALTO_INTERNAL_ERROR;
}

// Copies as much of `text` as fits, always NUL-terminated, and records the whole length.
void Put(miralto_buffer& buffer, std::string_view text) {
  buffer.length = text.size();
  if (buffer.size == 0) return;
  const std::size_t count = text.size() < buffer.size ? text.size() : buffer.size - 1;
  std::memcpy(buffer.data, text.data(), count);
  buffer.data[count] = '\0';
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

std::vector<std::string> Six(miralto::DmsTexts&& lon, miralto::DmsTexts&& lat) {
  return {std::move(lon.degrees), std::move(lon.minutes), std::move(lon.seconds),
          std::move(lat.degrees), std::move(lat.minutes), std::move(lat.seconds)};
}

}  // namespace

extern "C" {

const char* miralto_version(void) { return MIRALTO_VERSION_STRING; }

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
    return Six(miralto::DecimalToDms(Text(lon, "lon")), miralto::DecimalToDms(Text(lat, "lat")));
  });
}

miralto_status miralto_to_dd(const char* const dms[6], miralto_buffer dd[2],
                             miralto_buffer* message) {
  return Run(dd, 2, message, [&] {
    return std::vector<std::string>{miralto::DmsToDecimal(Dms(dms, 0), "longitude"),
                                    miralto::DmsToDecimal(Dms(dms, 3), "latitude")};
  });
}

miralto_status miralto_encode_dms(const char* const dms[6], miralto_corrections corrections,
                                  miralto_buffer* code, miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{
        miralto::EncodePosition({Dms(dms, 0), Dms(dms, 3)}, Core(corrections))};
  });
}

miralto_status miralto_encode(const char* lon, const char* lat, miralto_corrections corrections,
                              miralto_buffer* code, miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{miralto::EncodePosition(
        miralto::PositionValues{miralto::DecimalToDmsValues(Text(lon, "lon")),
                                miralto::DecimalToDmsValues(Text(lat, "lat"))},
        Core(corrections))};
  });
}

miralto_status miralto_encode_degrees(double lon, double lat, miralto_corrections corrections,
                                      miralto_buffer* code, miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{miralto::EncodePosition(
        miralto::PositionValues{miralto::DecimalToDmsValues(lon), miralto::DecimalToDmsValues(lat)},
        Core(corrections))};
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
  return Run(dd, 2, message, [&] {
    const miralto::PositionTexts p = miralto::DecodePosition(Text(code, "code"), Core(corrections));
    return std::vector<std::string>{miralto::DmsToDecimal(p.lon, "longitude"),
                                    miralto::DmsToDecimal(p.lat, "latitude")};
  });
}

miralto_status miralto_encode_notation(const char* first, const char* second,
                                       miralto_corrections corrections, miralto_buffer* code,
                                       miralto_buffer* message) {
  return Run(code, 1, message, [&] {
    return std::vector<std::string>{miralto::EncodePosition(
        miralto::bindings::WrittenPosition(Text(first, "first"), Text(second, "second")),
        Core(corrections))};
  });
}

miralto_status miralto_notation_to_dd(const char* first, const char* second, miralto_buffer dd[2],
                                      miralto_buffer* message) {
  return Run(dd, 2, message, [&] {
    auto [lon, lat] =
        miralto::bindings::WrittenDecimal(Text(first, "first"), Text(second, "second"));
    return std::vector<std::string>{std::move(lon), std::move(lat)};
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

}  // extern "C"
