// The batch converter: the window's operations over records, one record a line. Every result is
// the text the window shows for the same field texts and corrections.
#pragma once

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "position_code.h"

struct csv_parser;  // libcsv's parser state, known only to converter.cpp

namespace miralto::cli {

enum class Command { kDms, kDd, kEncode, kDecode, kCompare };

struct Options {
  Command command = Command::kDms;
  bool dd = false;                // decode: decimal degrees instead of degrees/minutes/seconds
  bool csv = false;               // RFC 4180 records instead of blank-separated fields
  std::vector<int> columns;       // input columns (from 1) holding the fields; empty: the first
  bool append = false;            // the input record, then the results
  bool header = false;            // the first record is a header
  std::string comment_delimiter;  // the rest of a line after it is copied to the output line
  Corrections corrections;
};

// The command a name ("dms", "encode"...) stands for; false for an unknown name.
bool ParseCommand(std::string_view name, Command& command);

// Whether a record of `count` fields suits the command: dms 2, dd 6, encode 2 or 6, decode 1,
// compare 2.
bool TakesFieldCount(Command command, std::size_t count);

// The names of the result columns, for a header line.
std::vector<std::string_view> ResultNames(Command command, bool dd);

class Converter {
 public:
  explicit Converter(Options options);
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Sets `out` to the output line for input line `number` (without line ends): the results, or
  // "ERROR: line N: " and the message. Returns false if the record failed.
  bool ConvertLine(std::string_view line, long number, std::string& out);

  // Sets `out` to the output line for a header line.
  void HeaderLine(std::string_view line, std::string& out);

  // Converts a whole stream, writing one output line per input line. Skips a UTF-8 byte-order
  // mark at the start and drops the CR of CRLF line ends. Returns false if any record failed;
  // throws std::runtime_error when the output cannot be written.
  bool ConvertStream(std::FILE* in, std::FILE* out);

 private:
  void InitParser();
  // Splits a record into fields_ ; false with `error` set for a malformed CSV record.
  bool Split(std::string_view record, std::string& error);
  // Picks the command's fields out of fields_ into selected_; false with `problem` set when the
  // record does not hold them.
  bool Select(std::string& problem);
  void Compute();
  void AppendResults(std::string& out) const;

  static void OnCsvField(void* data, std::size_t size, void* self);

  Options options_;
  char separator_;
  std::unique_ptr<csv_parser> parser_;
  std::vector<std::string> csv_fields_;  // kept between records so that no record allocates
  std::size_t csv_count_ = 0;
  std::vector<std::string_view> fields_;
  std::vector<std::string_view> selected_;
  std::array<std::string, 6> results_;
  std::size_t result_count_ = 0;
};

}  // namespace miralto::cli
