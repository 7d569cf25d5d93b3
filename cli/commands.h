// The one table of the batch converter's commands: the parser, the help, the field counts and the
// header names all read it, so a new command is a new row.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace miralto::cli {

enum class Command { kDms, kDd, kEncode, kDecode, kCompare };

// One way of writing a record for a command: its field count and what the fields are.
struct Layout {
  std::size_t count;
  std::string_view label;      // "LON LAT"
  bool notations;              // LON LAT read as coordinate notations (either order with letters)
  bool notation_only = false;  // exists only for notations: --lenient drops it
};

// What names a record's map point: nothing (its line number does), its input field (a code) or its
// first result (a code).
enum class PointName { kLine, kInput, kResult };

struct CommandInfo {
  Command command;
  std::string_view name;
  std::string_view button;  // the window's button it runs, for the help
  std::span<const Layout> layouts;
  std::span<const std::string_view> results;
  std::string_view results_label;                // "D M S D M S", for the help
  std::span<const std::string_view> dd_results;  // with --dd; empty where --dd does not apply
  std::string_view dd_label;                     // the results with --dd, for the help
  bool has_point;                                // a position to write as a map point
  PointName point_name;
};

// Every command, in the order the help lists them.
std::span<const CommandInfo> Commands();

// The row of a command.
const CommandInfo& Info(Command command);

// The layout a record of `count` fields has for `info`; nullptr if there is none. With `lenient`,
// the layouts that exist only for notations do not count.
const Layout* FindLayout(const CommandInfo& info, std::size_t count, bool lenient);

// "2 (LON LAT) or 6 (D M S D M S)": the field counts a command takes, for a message.
std::string Expectation(const CommandInfo& info, bool lenient);

// The result names (a header line, map point properties).
std::span<const std::string_view> ResultNames(const CommandInfo& info, bool dd);

// The command table as the help shows it, one line a command.
std::string CommandHelp();

}  // namespace miralto::cli
