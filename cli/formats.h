// The output formats of the batch converter: plain text lines and three map formats (GeoJSON, KML,
// GPX). Each is a row of one table and a writer; the converter hands every writer the same view
// of a record.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace miralto::cli {

enum class Format { kText, kGeoJson, kKml, kGpx };

// A line (or feature) of the input, from 1: 64 bits wide everywhere, for an input of billions of
// lines where a long has 32 bits (Windows, WebAssembly).
using LineNumber = std::int64_t;

// One converted (or failed) record, as the writers see it.
struct RecordView {
  LineNumber number = 0;                          // the input line
  std::string_view unit = "line";                 // what `number` counts: "feature" for GeoJSON
  std::string_view record;                        // the input record, comment removed
  std::string_view comment;                       // the comment, from its delimiter on
  std::span<const std::string_view> input_names;  // with --header: the input columns' names
  std::span<const std::string_view> inputs;       // the input fields
  std::span<const std::string_view> result_names;
  std::span<const std::string> results;
  std::string_view name;      // what names the point (its code); empty: the line number does
  std::string_view lon, lat;  // the point in decimal degrees; empty: none
  std::string_view error;     // the message of a failed record; empty when it was converted
};

// Writes a document: Begin, a Record for each record, End. Every call appends to `out`.
class Writer {
 public:
  virtual ~Writer() = default;
  virtual void Begin(std::string& out) = 0;
  // Text: the output line without its end. Map formats: the record's part of the document.
  virtual void Record(const RecordView& record, std::string& out) = 0;
  virtual void End(std::string& out) = 0;
  // What the document puts between two records beyond what a first record begins with.
  virtual std::string_view RecordSeparator() const { return {}; }
};

// How the text format joins fields, and whether it writes the input record first.
struct TextStyle {
  char separator = ' ';
  bool append = false;
};

struct FormatInfo {
  Format format;
  std::string_view name;  // as --to and --from take it
  bool is_map;            // one point a record; empty records write nothing
  bool readable;          // --from takes it
  std::unique_ptr<Writer> (*make)(TextStyle style);
};

std::span<const FormatInfo> Formats();

// Names of properties the map formats give a meaning of their own. A header's column name that is
// one of them (or a result name) gives way to "column N".
inline constexpr std::string_view kErrorProperty = "error";      // the failure of a record
inline constexpr std::string_view kCommentProperty = "comment";  // the line's comment
inline constexpr std::string_view kCodeProperty =
    "code";  // decode's input, when no header names it
inline constexpr std::string_view kReservedProperties[] = {kErrorProperty, kCommentProperty,
                                                           kCodeProperty};

// The failure of record `number` as every output tells it: "line 3: <message>", or "feature 3"
// with `unit` "feature" (records of a GeoJSON input).
void AppendFailure(std::string& out, LineNumber number, std::string_view message,
                   std::string_view unit = "line");
// The same as a line of text output, marked so that a reader finds it: "ERROR: line 3: ...".
void AppendFailureLine(std::string& out, LineNumber number, std::string_view message,
                       std::string_view unit = "line");
const FormatInfo& Info(Format format);

// `text` as a JSON string, quotes included; bytes that are not UTF-8 become U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// `text` as it is, but for bytes that are not UTF-8, which become U+FFFD as in AppendJsonString.
void AppendUtf8(std::string& out, std::string_view text);

// `text` escaped for XML character data and attribute values; bytes that are not UTF-8 and
// characters XML cannot hold become U+FFFD.
void AppendXmlText(std::string& out, std::string_view text);

}  // namespace miralto::cli
