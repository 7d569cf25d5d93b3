// What miralto-cli was asked to do, read from its command line, and the run that does it.
#pragma once

#include <optional>
#include <string>

#include "cli/converter.h"

namespace miralto::cli {

struct Invocation {
  Options options;
  bool from_geojson = false;       // --from geojson
  bool corrections_given = false;  // --correction; else the window's correction file
  bool one_record = false;         // --input-string
  std::string input_file;          // empty or "-": standard input
  std::string output_file;         // empty or "-": standard output
  std::string input_string;
  unsigned threads = 1;  // --threads; ReadOptions sets the cores the program may use
};

// Reads the command line (UTF-8) into `invocation`. Returns the exit status when the program ends
// here: 0 after --help or --version (1 if they could not be written), 2 for a usage error (told on
// standard error).
std::optional<int> ReadOptions(int argc, char** argv, Invocation& invocation);

// Converts as `invocation` says: the correction file when no corrections were given, then the
// records. Returns the exit status: 0, or 1 if a record failed or the input, output or correction
// file could not be used (told on standard error).
int Run(const Invocation& invocation);

}  // namespace miralto::cli
