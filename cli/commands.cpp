#include "cli/commands.h"

#include <algorithm>

namespace miralto::cli {

namespace {

constexpr Layout kPosition{2, "LON LAT", true};
constexpr Layout kDmsFields{6, "D M S D M S", false};

constexpr Layout kDmsLayouts[] = {kPosition};
constexpr Layout kDdLayouts[] = {kDmsFields, {2, "LON LAT", true, true}};
constexpr Layout kEncodeLayouts[] = {kPosition, kDmsFields};
constexpr Layout kDecodeLayouts[] = {{1, "CODE", false}};
constexpr Layout kCompareLayouts[] = {{2, "CODE REF", false}};

constexpr std::string_view kDmsNames[] = {"lon_deg", "lon_min", "lon_sec",
                                          "lat_deg", "lat_min", "lat_sec"};
constexpr std::string_view kDdNames[] = {"lon", "lat"};
constexpr std::string_view kCodeNames[] = {"code"};
constexpr std::string_view kDiffNames[] = {"lon_diff", "lat_diff"};

constexpr CommandInfo kCommands[] = {
    {Command::kDms,
     "dms",
     "\u2191",
     kDmsLayouts,
     kDmsNames,
     "D M S D M S",
     {},
     {},
     true,
     PointName::kLine},
    {Command::kDd, "dd", "\u2193", kDdLayouts, kDdNames, "LON LAT", {}, {}, true, PointName::kLine},
    {Command::kEncode,
     "encode",
     "\u2192",
     kEncodeLayouts,
     kCodeNames,
     "CODE",
     {},
     {},
     true,
     PointName::kResult},
    {Command::kDecode, "decode", "\u2190", kDecodeLayouts, kDmsNames, "D M S D M S", kDdNames,
     "LON LAT", true, PointName::kInput},
    {Command::kCompare,
     "compare",
     "\u8ba1\u7b97\u5dee\u503c",
     kCompareLayouts,
     kDiffNames,
     "LONDIFF LATDIFF (tenths of arc-second)",
     {},
     {},
     false,
     PointName::kLine},
};

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

const CommandInfo& Info(Command command) {
  return *std::find_if(std::begin(kCommands), std::end(kCommands),
                       [command](const CommandInfo& info) { return info.command == command; });
}

const Layout* FindLayout(const CommandInfo& info, std::size_t count, bool lenient) {
  for (const Layout& layout : info.layouts) {
    if (layout.count == count && !(lenient && layout.notation_only)) return &layout;
  }
  return nullptr;
}

std::string Expectation(const CommandInfo& info, bool lenient) {
  std::string text;
  for (const Layout& layout : info.layouts) {
    if (lenient && layout.notation_only) continue;
    if (!text.empty()) text += " or ";
    text += std::to_string(layout.count);
    text += " (";
    text += layout.label;
    text += ')';
  }
  return text;
}

std::span<const std::string_view> ResultNames(const CommandInfo& info, bool dd) {
  return dd && !info.dd_results.empty() ? info.dd_results : info.results;
}

std::string CommandHelp() {
  constexpr std::size_t kNameWidth = 9;
  constexpr std::size_t kInputWidth = 21;
  constexpr std::size_t kResultWidth = 40;
  std::string help;
  for (const CommandInfo& info : kCommands) {
    std::string inputs;
    for (const Layout& layout : info.layouts) {
      if (!inputs.empty()) inputs += ", ";
      inputs += layout.label;
    }
    help += "  ";
    help += info.name;
    help.append(kNameWidth - std::min(kNameWidth - 1, info.name.size()), ' ');
    help += inputs;
    help.append(kInputWidth - std::min(kInputWidth - 1, inputs.size()), ' ');
    std::string results(info.results_label);
    if (!info.dd_label.empty()) {
      results += " (";
      results += info.dd_label;
      results += " with --dd)";
    }
    help += "-> ";
    help += results;
    help.append(kResultWidth - std::min(kResultWidth - 1, results.size()), ' ');
    help += info.button;
    help += '\n';
  }
  return help;
}

}  // namespace miralto::cli
