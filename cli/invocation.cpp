#include "cli/invocation.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "cli/converter.h"
#include "cli/geojson_input.h"
#include "cli/pipeline.h"
#include "cli/process.h"
#include "core/errors.h"
#include "corrections/correction_file.h"
#include "corrections/correction_location.h"
#include "miralto_version.h"

namespace miralto::cli {

namespace {

namespace fs = std::filesystem;

constexpr int kUsageError = 2;

// "LON,LAT" in tenths of arc-second; false if either is not a number or not a Long.
bool ParseCorrections(const std::string& text, Corrections& corrections) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return false;
  try {
    corrections.lon = RoundToLong(ParseStrict(text.substr(0, comma)));
    corrections.lat = RoundToLong(ParseStrict(text.substr(comma + 1)));
    return true;
  } catch (const Error&) {
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

// The names of a table's rows, for CLI11's IsMember.
template <typename Row, typename Keep>
std::vector<std::string> NamesOf(std::span<const Row> rows, Keep keep) {
  std::vector<std::string> names;
  for (const Row& row : rows) {
    if (keep(row)) names.emplace_back(row.name);
  }
  return names;
}

template <typename Row>
const Row& ByName(std::span<const Row> rows, std::string_view name) {
  return *std::find_if(rows.begin(), rows.end(),
                       [name](const Row& row) { return row.name == name; });
}

std::string JoinedNames(const std::vector<std::string>& names) {
  std::string text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) text += i + 1 == names.size() ? " and " : ", ";
    text += names[i];
  }
  return text;
}

}  // namespace

namespace {

// What the options name, before it is checked and turned into the invocation's options.
struct Choices {
  std::string command, to, from = "text", correction, order = "lonlat";
};

// Declares every option of the command line, with its help, into `app`.
void AddOptions(CLI::App& app, Invocation& invocation, Choices& choices) {
  const auto commands = Commands();
  const auto formats = Formats();
  app.set_version_flag("--version", "miralto-cli " MIRALTO_VERSION);
  Options& options = invocation.options;
  const auto all = [](const auto&) { return true; };
  const std::vector<std::string> command_names = NamesOf(commands, all);
  app.add_option("command", choices.command, JoinedNames(command_names))
      ->required()
      ->check(CLI::IsMember(command_names));
  app.add_flag("--dd", options.dd, "decode: write decimal degrees");
  app.add_flag("--lenient", options.lenient,
               "read LON LAT as the window's \u2191 does: the longest leading number, no "
               "notations, nothing refused");
  const std::vector<std::string> format_names = NamesOf(formats, all);
  app.add_option("--to", choices.to,
                 "output format: " + JoinedNames(format_names) +
                     " (default: text; geojson with --from geojson)")
      ->check(CLI::IsMember(format_names));
  const auto readable = NamesOf(formats, [](const FormatInfo& f) { return f.readable; });
  app.add_option("--from", choices.from,
                 "input format: " + JoinedNames(readable) +
                     " (a FeatureCollection of points; default: text)")
      ->check(CLI::IsMember(readable));
  app.add_option("--correction", choices.correction,
                 "LON,LAT corrections in tenths of arc-second (default: the correction file "
                 "that the window uses, else 0,0)");
  auto* input_option =
      app.add_option("-i,--input-file", invocation.input_file, "read records from FILE");
  app.add_option("--input-string", invocation.input_string, "convert this one record")
      ->excludes(input_option);
  app.add_option("-o,--output-file", invocation.output_file, "write the results to FILE");
  app.add_option("--comment-delimiter", options.comment_delimiter,
                 "copy the rest of a line after this text to the output line");
  app.add_flag("--csv", options.csv, "records are RFC 4180 comma-separated values");
  app.add_option("--columns", options.columns, "input columns (from 1) holding the fields")
      ->delimiter(',')
      ->check(CLI::Validator(
          [](const std::string& text) -> std::string {
            int column = 0;
            if (!CLI::detail::lexical_cast(text, column)) return "\"" + text + "\" is not a number";
            if (column < 1) return "column numbers start at 1; " + text + " names no column";
            return "";
          },
          "COLUMN"));
  app.add_option("--order", choices.order,
                 "the LON LAT pair as read and written: lonlat, or latlon (latitude first, as "
                 "maps copy a position)")
      ->check(CLI::IsMember({"lonlat", "latlon"}));
  app.add_flag("--append", options.append, "write the input record, then the results");
  app.add_flag("--header", options.header, "the first record is a header: pass it through");
  invocation.threads = AvailableCores();
  app.add_option("--threads", invocation.threads,
                 "convert on N threads at once (default: the cores the program may use); 1 "
                 "converts on one")
      ->check(CLI::Range(1u, 1024u));
}

// GeoJSON input carries its points in features, not in records: the options about records and
// commands without a point do not go with it.
void CheckGeoJsonInput(const CLI::App& app, const CommandInfo& command, const Options& options) {
  const auto takes_points = [](const CommandInfo& c) {
    return std::any_of(c.layouts.begin(), c.layouts.end(),
                       [](const Layout& l) { return l.notations; });
  };
  if (!takes_points(command)) {
    throw CLI::ValidationError(
        "--from", "geojson goes with " + JoinedNames(NamesOf(Commands(), takes_points)) + " only");
  }
  if (options.to != Format::kText && options.to != Format::kGeoJson) {
    throw CLI::ValidationError("--to", "with --from geojson the output is geojson or text");
  }
  for (const char* record_option : {"--csv", "--columns", "--header", "--append", "--order",
                                    "--comment-delimiter", "--input-string"}) {
    if (app.count(record_option) > 0) {
      throw CLI::ValidationError(record_option, "does not go with --from geojson");
    }
  }
}

// Turns the parsed choices into the invocation's options; throws CLI::ValidationError for a
// combination that does not go together.
void ApplyChoices(const CLI::App& app, Choices& choices, Invocation& invocation) {
  const auto commands = Commands();
  const auto formats = Formats();
  Options& options = invocation.options;
  const CommandInfo& command = ByName(commands, choices.command);
  options.command = command.command;
  options.lat_first = choices.order == "latlon";
  invocation.from_geojson = ByName(formats, choices.from).format == Format::kGeoJson;
  if (choices.to.empty()) choices.to = invocation.from_geojson ? "geojson" : "text";
  options.to = ByName(formats, choices.to).format;
  if (options.dd && command.dd_results.empty()) {
    throw CLI::ValidationError(
        "--dd", "goes with the command " +
                    JoinedNames(NamesOf(
                        commands, [](const CommandInfo& c) { return !c.dd_results.empty(); })) +
                    " only");
  }
  if (!command.has_point && ByName(formats, choices.to).is_map) {
    throw CLI::ValidationError("--to",
                               choices.command + " writes no position; it writes text only");
  }
  if (!options.columns.empty() && !FindLayout(command, options.columns.size(), options.lenient)) {
    throw CLI::ValidationError("--columns",
                               "names the wrong number of columns for " + choices.command);
  }
  if (invocation.from_geojson) CheckGeoJsonInput(app, command, options);
  invocation.corrections_given = app.count("--correction") > 0;
  if (invocation.corrections_given && !ParseCorrections(choices.correction, options.corrections)) {
    throw CLI::ValidationError("--correction",
                               "expects LON,LAT as two whole numbers, for example -193,106");
  }
  const std::string& input_file = invocation.input_file;
  const std::string& output_file = invocation.output_file;
  const bool reads_file = !input_file.empty() && input_file != "-";
  const bool reads_standard_input = !reads_file && app.count("--input-string") == 0;
  if (!output_file.empty() && output_file != "-") {
    // Opening the output would empty the input before a line of it is read, whether -i named it
    // or the shell opened it: `miralto-cli encode -o f.txt < f.txt`.
    const fs::path output = PathFromUtf8(output_file);
    std::error_code ignored;
    const bool same = reads_file ? fs::equivalent(PathFromUtf8(input_file), output, ignored)
                                 : reads_standard_input && StandardInputIs(output);
    if (same) {
      throw CLI::ValidationError("--output-file", "is the input file; it would be overwritten");
    }
  } else if (reads_file ? StandardOutputIs(PathFromUtf8(input_file))
                        : reads_standard_input && StandardOutputIsInput()) {
    // The results would be read back as input, `miralto-cli encode < f.txt >> f.txt`: on one
    // thread without end.
    throw CLI::ValidationError(
        "standard output is the input file; the results would be read "
        "back as input");
  }
  if (options.comment_delimiter.empty() && app.count("--comment-delimiter") > 0) {
    throw CLI::ValidationError("--comment-delimiter", "must not be empty");
  }
  invocation.one_record = app.count("--input-string") > 0;
}

}  // namespace

std::optional<int> ReadOptions(int argc, char** argv, Invocation& invocation) {
  CLI::App app{
      "Converts positions between decimal degrees, degrees/minutes/seconds and position codes, "
      "one record a line, from standard input (or a file) to standard output.\n\n" +
          CommandHelp() +
          "\nLON and LAT may be written as decimal degrees or as degrees, minutes and seconds "
          "(113\u00B017\u203220.24\u2033, 113d17m20.24s, 113:17:20.24) with a hemisphere letter "
          "(23.236255N; S and W are negative), in either order when the letters say which is "
          "which.\n\n"
          "A bad record gives the line \"ERROR: line N: ...\" in its place; the exit status is 1 "
          "if any record failed, 2 for a usage error.",
      "miralto-cli"};
  Choices choices;
  AddOptions(app, invocation, choices);
  try {
    app.parse(argc, argv);
    ApplyChoices(app, choices, invocation);
  } catch (const CLI::ParseError& error) {
    const int status = app.exit(error);
    if (status != 0) return kUsageError;
    // The help or the version went to standard output: a full disk or a closed pipe is a failure.
    std::cout.flush();
    if (!std::cout || std::fflush(stdout) != 0) {
      std::cerr << "miralto-cli: cannot write the output\n";
      return 1;
    }
    return 0;
  }
  return std::nullopt;
}

int Run(const Invocation& invocation) {
  Options options = invocation.options;
  if (!invocation.corrections_given) {
    const CorrectionLoad load = LoadCorrections(CorrectionDirectory(ProgramDirectory()));
    if (load.failure) {
      try {
        std::rethrow_exception(load.failure);
      } catch (const Error& error) {
        std::cerr << "miralto-cli: " << error.Message() << "\n";
        return 1;
      }
    }
    if (load.lines.size() == 2) options.corrections = {load.lines[0].value, load.lines[1].value};
  }

  File in(stdin), out(stdout);
  if (!invocation.input_file.empty() && invocation.input_file != "-" &&
      !(in = OpenFile(invocation.input_file, "rb"))) {
    std::cerr << "miralto-cli: cannot read " << invocation.input_file << ": "
              << std::strerror(errno) << "\n";
    return 1;
  }
  // Typed into a Windows console, the text is read as Unicode rather than in the console's code
  // page.
  if (in.get() == stdin && !invocation.one_record) {
    if (std::FILE* console = ConsoleInput()) in = File(console);
  }
  if (!invocation.output_file.empty() && invocation.output_file != "-" &&
      !(out = OpenFile(invocation.output_file, "wb"))) {
    std::cerr << "miralto-cli: cannot write " << invocation.output_file << ": "
              << std::strerror(errno) << "\n";
    return 1;
  }
  try {
    if (invocation.from_geojson)
      return ConvertGeoJson(options, in.get(), out.get(), stderr) ? 0 : 1;
    if (invocation.one_record) {
      Converter converter(options);
      std::string line;
      const bool ok = converter.ConvertRecord(invocation.input_string, line);
      if (std::fwrite(line.data(), 1, line.size(), out.get()) != line.size() ||
          std::fflush(out.get()) != 0) {
        throw std::runtime_error("cannot write the output");
      }
      return ok ? 0 : 1;
    }
    return ConvertStream(options, in.get(), out.get(), invocation.threads) ? 0 : 1;
  } catch (const std::exception& error) {
    std::cerr << "miralto-cli: " << error.what() << "\n";
    return 1;
  }
}

}  // namespace miralto::cli
