// One record line of the batch converter under any options: nothing escapes as an exception, and
// a line without a line feed gives an output line without one.
#include "converter.h"
#include "fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const unsigned flags = data[0];
  cli::Options options;
  options.command = static_cast<cli::Command>(flags % 5);
  options.dd = (flags & 0x08) != 0 && options.command == cli::Command::kDecode;
  options.csv = (flags & 0x10) != 0;
  options.append = (flags & 0x20) != 0;
  if ((flags & 0x40) != 0) options.comment_delimiter = "#";
  if ((flags & 0x80) != 0) {
    options.columns =
        options.command == cli::Command::kDecode ? std::vector<int>{2} : std::vector<int>{2, 1};
    if (!cli::TakesFieldCount(options.command, options.columns.size())) options.columns.clear();
  }
  cli::Converter converter(options);
  const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
  std::string out;
  converter.ConvertLine(line, 1, out);
  if (line.find('\n') == std::string_view::npos) {
    fuzz::Require(out.find('\n') == std::string::npos);
  }
  return 0;
}
