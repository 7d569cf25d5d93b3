// The batch converter on every core: the input is cut into blocks of whole lines, the blocks are
// converted at once by one Converter a thread and written in input order, with a few blocks in
// flight however long the input. The output is the single-threaded one, byte for byte.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "cli/converter.h"
#include "cli/csv_quotes.h"

namespace miralto::cli {

// Cuts a stream into runs of whole lines. A run ends as soon as a read brings less than it asked
// for, so a line typed into a pipe is handed on at once; a file gives full blocks. In CSV a line
// end inside quotes does not end a record, and a run never ends there (by the converter's rule).
class BlockReader {
 public:
  static constexpr std::size_t kBlockSize = std::size_t{1} << 17;

  // `in` is read through its descriptor: nothing may have been read through its stdio buffer.
  BlockReader(std::FILE* in, bool csv, std::size_t block_size = kBlockSize);

  // Sets `block` to the next run: whole lines each ended by LF, the input's last line perhaps
  // without it. A line longer than a block makes the run as long as the line. False at the end of
  // the input; throws std::runtime_error when the input cannot be read.
  bool Next(std::string& block);

 private:
  // The length of the longest prefix of the buffer that ends at a record's line end.
  std::size_t Cut();

  int fd_;
  bool csv_;
  std::size_t block_size_;
  std::string buffer_;
  std::size_t filled_ = 0;
  std::size_t scanned_ = 0;   // the buffer up to here has been looked at by Cut
  std::size_t last_end_ = 0;  // just after the last record end found so far
  CsvQuotes quotes_;          // at `scanned_`
  bool started_ = false;      // the input's first bytes have been looked at
  bool at_end_ = false;
};

// The cores this process may run on (at least 1).
unsigned AvailableCores();

// Converts the stream `in` to `out` as Converter::ConvertStream does, with `threads` converters
// working at once on blocks of about `block_size` bytes; 1 (or 0) runs it on the calling thread.
// Returns false if any record failed; throws std::runtime_error when the input cannot be read or
// the output cannot be written.
bool ConvertStream(const Options& options, std::FILE* in, std::FILE* out, unsigned threads,
                   std::size_t block_size = BlockReader::kBlockSize);

// Writes all of `bytes` to `out` and flushes it; throws std::runtime_error if it cannot.
void WriteAll(std::FILE* out, std::string_view bytes);

}  // namespace miralto::cli
