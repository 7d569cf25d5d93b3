// miralto-cli: converts positions one record a line, from a file or standard input.
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>

#include "converter.h"
#include "correction_file.h"
#include "correction_location.h"
#include "errors.h"
#include "miralto_version.h"

namespace {

namespace fs = std::filesystem;
using miralto::cli::Command;
using miralto::cli::Options;

constexpr int kUsageError = 2;

// "LON,LAT" in tenths of arc-second; false if either is not a number or not a Long.
bool ParseCorrections(const std::string& text, miralto::Corrections& corrections) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  try {
    corrections.lon = miralto::RoundToLong(miralto::ParseStrict(text.substr(0, comma)));
    corrections.lat = miralto::RoundToLong(miralto::ParseStrict(text.substr(comma + 1)));
    return true;
  } catch (const miralto::Error&) {
    return false;
  }
}

struct FileCloser {
  void operator()(std::FILE* file) const {
    if (file != stdin && file != stdout) std::fclose(file);
  }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

fs::path PathFromUtf8(const std::string& name) {
  return fs::path(std::u8string(name.begin(), name.end()));
}

File OpenFile(const std::string& name, const char* mode) {
#ifdef _WIN32
  const fs::path path = PathFromUtf8(name);
  return File(_wfopen(path.c_str(), mode[0] == 'r' ? L"rb" : L"wb"));
#else
  return File(std::fopen(name.c_str(), mode));
#endif
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{
      "Converts positions between decimal degrees, degrees/minutes/seconds and position codes, "
      "one record a line, from standard input (or a file) to standard output.\n\n"
      "  dms      LON LAT              -> D M S D M S\n"
      "  dd       D M S D M S          -> LON LAT\n"
      "  encode   D M S D M S, LON LAT -> CODE\n"
      "  decode   CODE                 -> D M S D M S (LON LAT with --dd)\n"
      "  compare  CODE REF             -> LONDIFF LATDIFF (tenths of arc-second)\n\n"
      "A bad record gives the line \"ERROR: line N: ...\" in its place; the exit status is 1 if "
      "any "
      "record failed, 2 for a usage error.",
      "miralto-cli"};
  app.set_version_flag("--version", "miralto-cli " MIRALTO_VERSION);

  std::string command_name;
  Options options;
  std::string correction_text, input_file, output_file, input_string;
  app.add_option("command", command_name, "dms, dd, encode, decode or compare")
      ->required()
      ->check(CLI::IsMember({"dms", "dd", "encode", "decode", "compare"}));
  app.add_flag("--dd", options.dd, "decode: write decimal degrees");
  app.add_option("--correction", correction_text,
                 "LON,LAT corrections in tenths of arc-second (default: the correction file "
                 "that the window uses, else 0,0)");
  auto* input_option = app.add_option("-i,--input-file", input_file, "read records from FILE");
  app.add_option("--input-string", input_string, "convert this one record")->excludes(input_option);
  app.add_option("-o,--output-file", output_file, "write the results to FILE");
  app.add_option("--comment-delimiter", options.comment_delimiter,
                 "copy the rest of a line after this text to the output line");
  app.add_flag("--csv", options.csv, "records are RFC 4180 comma-separated values");
  app.add_option("--columns", options.columns, "input columns (from 1) holding the fields")
      ->delimiter(',')
      ->check(CLI::PositiveNumber);
  app.add_flag("--append", options.append, "write the input record, then the results");
  app.add_flag("--header", options.header, "the first record is a header: pass it through");

  try {
    app.parse(argc, argv);
    miralto::cli::ParseCommand(command_name, options.command);
    if (options.dd && options.command != Command::kDecode) {
      throw CLI::ValidationError("--dd", "goes with the command decode only");
    }
    if (!options.columns.empty() &&
        !miralto::cli::TakesFieldCount(options.command, options.columns.size())) {
      throw CLI::ValidationError("--columns",
                                 "names the wrong number of columns for " + command_name);
    }
    if (app.count("--correction") > 0 && !ParseCorrections(correction_text, options.corrections)) {
      throw CLI::ValidationError("--correction",
                                 "expects LON,LAT as two whole numbers, for example -193,106");
    }
    std::error_code ignored;
    if (!input_file.empty() && !output_file.empty() && input_file != "-" && output_file != "-" &&
        fs::equivalent(PathFromUtf8(input_file), PathFromUtf8(output_file), ignored)) {
      // Opening the output would empty the input before a line of it is read.
      throw CLI::ValidationError("--output-file", "is the input file; it would be overwritten");
    }
    if (options.comment_delimiter.empty() && app.count("--comment-delimiter") > 0) {
      throw CLI::ValidationError("--comment-delimiter", "must not be empty");
    }
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    return status == 0 ? 0 : kUsageError;
  }

  if (app.count("--correction") == 0) {
    const miralto::CorrectionLoad load =
        miralto::LoadCorrections(miralto::CorrectionDirectory(miralto::ProgramDirectory()));
    if (load.failure) {
      try {
        std::rethrow_exception(load.failure);
      } catch (const miralto::Error& error) {
        std::cerr << "miralto-cli: " << error.Message() << "\n";
        return 1;
      }
    }
    if (load.lines.size() == 2) options.corrections = {load.lines[0].value, load.lines[1].value};
  }

  File in(stdin), out(stdout);
  if (!input_file.empty() && input_file != "-" && !(in = OpenFile(input_file, "rb"))) {
    std::cerr << "miralto-cli: cannot read " << input_file << ": " << std::strerror(errno) << "\n";
    return 1;
  }
  if (!output_file.empty() && output_file != "-" && !(out = OpenFile(output_file, "wb"))) {
    std::cerr << "miralto-cli: cannot write " << output_file << ": " << std::strerror(errno)
              << "\n";
    return 1;
  }
  try {
    miralto::cli::Converter converter(options);
    if (app.count("--input-string") > 0) {
      std::string line;
      const bool ok = converter.ConvertLine(input_string, 1, line);
      line += '\n';
      if (std::fwrite(line.data(), 1, line.size(), out.get()) != line.size() ||
          std::fflush(out.get()) != 0) {
        throw std::runtime_error("cannot write the output");
      }
      return ok ? 0 : 1;
    }
    return converter.ConvertStream(in.get(), out.get()) ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "miralto-cli: " << error.what() << "\n";
    return 1;
  }
}
