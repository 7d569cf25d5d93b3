// One record line of the batch converter under any options and output format: nothing escapes as
// an exception, and in text a line without a line feed gives an output line without one.
#include "cli/converter.h"
#include "fuzz/fuzz_input.h"

using namespace miralto;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const unsigned flags = data[0];
  const unsigned more = data[1];
  cli::Options options;
  options.command = static_cast<cli::Command>(flags % 5);
  options.dd = (flags & 0x08) != 0 && options.command == cli::Command::kDecode;
  options.csv = (flags & 0x10) != 0;
  options.append = (flags & 0x20) != 0;
  if ((flags & 0x40) != 0) options.comment_delimiter = "#";
  if ((flags & 0x80) != 0) {
    options.columns =
        options.command == cli::Command::kDecode ? std::vector<int>{2} : std::vector<int>{2, 1};
    if (!cli::FindLayout(cli::Info(options.command), options.columns.size(), options.lenient)) {
      options.columns.clear();
    }
  }
  options.lenient = (more & 0x01) != 0;
  if (cli::Info(options.command).has_point) {
    options.to = static_cast<cli::Format>((more >> 1) % cli::Formats().size());
  }
  cli::Converter converter(options);
  const std::string_view line(reinterpret_cast<const char*>(data + 2), size - 2);
  std::string out;
  converter.ConvertLine(line, 1, out);
  if (options.to == cli::Format::kText && line.find('\n') == std::string_view::npos) {
    fuzz::Require(out.find('\n') == std::string::npos);
  }
  return 0;
}
