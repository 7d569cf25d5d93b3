// The batch converter: the window's operations over records, one record a line. Every result is
// the text the window shows for the same field texts and corrections.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/csv_quotes.h"
#include "cli/formats.h"
#include "core/operations.h"
#include "core/text.h"

struct csv_parser;  // libcsv's parser state, known only to converter.cpp

namespace miralto::cli {

struct Options {
  Command command = Command::kDms;
  bool dd = false;            // decode: decimal degrees instead of degrees/minutes/seconds
  bool csv = false;           // RFC 4180 records instead of blank-separated fields
  bool lenient = false;       // decimal fields read as the window's "↑" reads them, no notations
  Format to = Format::kText;  // the output format
  std::vector<int> columns;   // input columns (from 1) holding the fields; empty: the first
  bool append = false;        // the input record, then the results
  bool header = false;        // the first record is a header
  bool lat_first = false;     // --order latlon: a LON LAT pair read and written latitude first
  std::string comment_delimiter;  // the rest of a line after it is copied to the output line
  Corrections corrections;
};

class Converter {
 public:
  explicit Converter(Options options);
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the start and the end of the output document (nothing for text).
  void Begin(std::string& out);
  void End(std::string& out);

  // Sets `out` to the output for input line `number`: in text, the line (without its end) with
  // the results, or "ERROR: line N: " and the message; in a map format, the record's part of the
  // document. Returns false if the record failed.
  bool ConvertLine(std::string_view line, LineNumber number, std::string& out);

  // Sets `out` to the output for a header line: in text, the line (with --append the result names
  // follow); in a map format nothing, and the names become the input columns' property names.
  void HeaderLine(std::string_view line, std::string& out);

  // Sets `out` to the whole output for a single record (a document in a map format).
  bool ConvertRecord(std::string_view record, std::string& out);

  // Converts a whole stream, writing one output line per input line. Skips a UTF-8 byte-order
  // mark at the start and drops the CR of CRLF line ends. Each run of whole lines is answered as
  // soon as it arrives, so an interactive pipe gets its line back at once. `in` must not have been
  // read through its stdio buffer. Returns false if any record failed; throws std::runtime_error
  // when the input cannot be read or the output cannot be written.
  bool ConvertStream(std::FILE* in, std::FILE* out);

  // The same in steps, for a caller that holds the input in blocks (a browser reading a file):
  // Begin, then Feed with each block in order (a line may run over blocks), then Finish, which
  // converts a last line without a line end and appends the document's end. Each appends the
  // output it has to `out`. Finish returns false if any record failed.
  void Feed(std::string_view block, std::string& out);
  bool Finish(std::string& out);

  // Appends the output for `lines`, whole input lines each ended by LF (the last one of the input
  // may lack it), as ConvertStream writes them; `number` is the number of the line before them
  // and is left at the last one. Line 1 is the stream's first: its byte-order mark is skipped and
  // with --header it is the header. Returns false if any record failed.
  bool ConvertLines(std::string_view lines, LineNumber& number, std::string& out);

  // The records appended next start a part of the document that is joined to the others by the
  // caller: they are written as if none came before. Between two parts that both hold records
  // the caller writes RecordSeparator().
  void StartPart();
  std::string_view RecordSeparator() const { return writer_->RecordSeparator(); }

  // Runs the command on `fields` (a layout of the command) and returns its results; throws the
  // core's Error, or ConversionError for a field count the command does not take.
  std::span<const std::string> Convert(std::span<const std::string_view> fields);

 private:
  void InitParser();
  // ConvertLine, appending to `out`.
  bool AppendLine(std::string_view line, LineNumber number, std::string& out);
  // Splits a record into fields_ ; false with `error` set for a malformed CSV record.
  bool Split(std::string_view record, std::string& error);
  // Names the input columns after those named so far, up to `count`, from `header`: each name
  // unique, "column N" where the header has none or its name is empty or taken.
  void NameColumns(std::span<const std::string_view> header, std::size_t count);
  // Picks the command's fields out of fields_ into selected_ and returns their layout; nullptr
  // with `problem` set when the record does not hold them.
  const Layout* Select(std::string& problem);
  // Runs the command on selected_, laid out as `layout`, into results_ (and the point).
  void Compute(const Layout& layout);
  void ComputeDms();
  void ComputeDd(bool notations);
  void ComputeEncode(bool notations);
  void ComputeDecode();
  void ComputeCompare();
  void PutDms(std::size_t at, DmsTexts& t);
  void PutPosition(PositionTexts& p);
  void PutDegrees(DecimalTexts&& d);
  PositionTexts SixFields() const;
  // Sets the map point from `position` (nullptr: from the decimal results) and checks that a map
  // can show it.
  void SetPoint(const PositionTexts* position);

  static void OnCsvField(void* data, std::size_t size, void* self);

  // Where a run of input lines stands: the last line's number, a CSV record gathered over lines.
  struct Lines {
    LineNumber number = 0;
    bool ok = true;
    CsvQuotes quotes;
    std::string record;         // a CSV record whose quotes are still open
    LineNumber first_line = 0;  // its first line's number
  };
  // One line of a stream, its output appended to `out`: the byte-order mark of the first and a CR
  // at the end dropped; in CSV a line inside a record's quotes joins the record.
  void HandleLine(std::string_view line, Lines& lines, std::string& out);
  // A whole record (or the header) starting on line `number`, its output appended to `out`.
  void HandleRecord(std::string_view record, LineNumber number, Lines& lines, std::string& out);
  // Converts a record whose quotes were never closed, at the end of the input.
  void FinishLines(Lines& lines, std::string& out);

  Options options_;
  const CommandInfo& info_;
  bool map_;
  std::unique_ptr<Writer> writer_;
  char separator_;
  std::unique_ptr<csv_parser> parser_;
  std::vector<std::string> csv_fields_;  // kept between records so that no record allocates
  std::size_t csv_count_ = 0;
  std::vector<std::string_view> fields_;
  std::vector<std::string_view> selected_;
  WrittenPositions written_;  // LON LAT records: notations, or with --lenient the window's reading
  std::array<std::string, 2> point_;
  std::array<std::string, 6> results_;
  std::size_t result_count_ = 0;
  std::array<std::string_view, 6> result_names_;  // in the order the results are written
  std::size_t result_name_count_ = 0;
  std::vector<std::string> header_names_;
  std::vector<std::string_view> header_views_;
  struct Stream {
    std::string pending;  // a line that runs over the end of a block
    Lines lines;
  } stream_;
  std::string line_out_;
};

}  // namespace miralto::cli
