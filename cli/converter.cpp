#include "converter.h"

#include <csv.h>

#include <stdexcept>

#include "angle_forms.h"
#include "comparison.h"
#include "errors.h"

namespace miralto::cli {

namespace {

int NoSpace(unsigned char) { return 0; }  // blanks belong to their field, as in the window

std::string_view Expectation(Command command) {
  switch (command) {
    case Command::kDms:
      return "2 (LON LAT)";
    case Command::kDd:
      return "6 (D M S D M S)";
    case Command::kEncode:
      return "2 (LON LAT) or 6 (D M S D M S)";
    case Command::kDecode:
      return "1 (CODE)";
    case Command::kCompare:
      return "2 (CODE REF)";
  }
  return "";
}

void AppendNumber(std::string& out, std::size_t value) { out += std::to_string(value); }

}  // namespace

bool ParseCommand(std::string_view name, Command& command) {
  static constexpr std::pair<std::string_view, Command> kNames[] = {{"dms", Command::kDms},
                                                                    {"dd", Command::kDd},
                                                                    {"encode", Command::kEncode},
                                                                    {"decode", Command::kDecode},
                                                                    {"compare", Command::kCompare}};
  for (const auto& [known, value] : kNames) {
    if (name == known) {
      command = value;
      return true;
    }
  }
  return false;
}

bool TakesFieldCount(Command command, std::size_t count) {
  switch (command) {
    case Command::kDms:
    case Command::kCompare:
      return count == 2;
    case Command::kDd:
      return count == 6;
    case Command::kEncode:
      return count == 2 || count == 6;
    case Command::kDecode:
      return count == 1;
  }
  return false;
}

std::vector<std::string_view> ResultNames(Command command, bool dd) {
  switch (command) {
    case Command::kDms:
      return {"lon_deg", "lon_min", "lon_sec", "lat_deg", "lat_min", "lat_sec"};
    case Command::kDd:
      return {"lon", "lat"};
    case Command::kEncode:
      return {"code"};
    case Command::kDecode:
      return dd ? std::vector<std::string_view>{"lon", "lat"}
                : std::vector<std::string_view>{"lon_deg", "lon_min", "lon_sec",
                                                "lat_deg", "lat_min", "lat_sec"};
    case Command::kCompare:
      return {"lon_diff", "lat_diff"};
  }
  return {};
}

Converter::Converter(Options options)
    : options_(std::move(options)),
      separator_(options_.csv ? ',' : ' '),
      parser_(std::make_unique<csv_parser>()) {
  InitParser();
}

void Converter::InitParser() {
  if (csv_init(parser_.get(), CSV_STRICT | CSV_STRICT_FINI) != 0) throw std::bad_alloc();
  csv_set_space_func(parser_.get(), NoSpace);
}

Converter::~Converter() { csv_free(parser_.get()); }

void Converter::OnCsvField(void* data, std::size_t size, void* self) {
  auto* converter = static_cast<Converter*>(self);
  if (converter->csv_count_ == converter->csv_fields_.size()) converter->csv_fields_.emplace_back();
  converter->csv_fields_[converter->csv_count_++].assign(static_cast<const char*>(data), size);
}

bool Converter::Split(std::string_view record, std::string& error) {
  fields_.clear();
  if (!options_.csv) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    for (std::size_t pos = 0; pos < record.size();) {
      if (blank(record[pos])) {
        ++pos;
        continue;
      }
      const std::size_t start = pos;
      while (pos < record.size() && !blank(record[pos])) ++pos;
      fields_.push_back(record.substr(start, pos - start));
    }
    return true;
  }
  csv_count_ = 0;
  const bool parsed = csv_parse(parser_.get(), record.data(), record.size(), OnCsvField, nullptr,
                                this) == record.size() &&
                      csv_fini(parser_.get(), OnCsvField, nullptr, this) == 0;
  if (!parsed) {
    error = "malformed CSV record: ";
    error += csv_strerror(csv_error(parser_.get()));
    // The parser keeps its failed state: start a new one for the next record.
    csv_free(parser_.get());
    InitParser();
    return false;
  }
  for (std::size_t i = 0; i < csv_count_; ++i) fields_.push_back(csv_fields_[i]);
  return true;
}

void Converter::Compute() {
  const auto& f = selected_;
  const Corrections& c = options_.corrections;
  auto put_dms = [this](std::size_t at, DmsTexts&& t) {
    results_[at] = std::move(t.degrees);
    results_[at + 1] = std::move(t.minutes);
    results_[at + 2] = std::move(t.seconds);
  };
  switch (options_.command) {
    case Command::kDms:
      put_dms(0, DecimalToDms(f[0]));
      put_dms(3, DecimalToDms(f[1]));
      result_count_ = 6;
      break;
    case Command::kDd:
      results_[0] =
          DmsToDecimal({std::string(f[0]), std::string(f[1]), std::string(f[2])}, "longitude");
      results_[1] =
          DmsToDecimal({std::string(f[3]), std::string(f[4]), std::string(f[5])}, "latitude");
      result_count_ = 2;
      break;
    case Command::kEncode:
      if (f.size() == 2) {
        results_[0] = EncodePosition({DecimalToDms(f[0]), DecimalToDms(f[1])}, c);
      } else {
        results_[0] = EncodePosition({{std::string(f[0]), std::string(f[1]), std::string(f[2])},
                                      {std::string(f[3]), std::string(f[4]), std::string(f[5])}},
                                     c);
      }
      result_count_ = 1;
      break;
    case Command::kDecode: {
      PositionTexts p = DecodePosition(f[0], c);
      if (options_.dd) {
        results_[0] = DmsToDecimal(p.lon, "longitude");
        results_[1] = DmsToDecimal(p.lat, "latitude");
        result_count_ = 2;
      } else {
        put_dms(0, std::move(p.lon));
        put_dms(3, std::move(p.lat));
        result_count_ = 6;
      }
      break;
    }
    case Command::kCompare: {
      CodeDifference d = CompareCodes(f[0], f[1]);
      results_[0] = std::move(d.lon);
      results_[1] = std::move(d.lat);
      result_count_ = 2;
      break;
    }
  }
}

void Converter::AppendResults(std::string& out) const {
  for (std::size_t i = 0; i < result_count_; ++i) {
    if (i > 0) out += separator_;
    out += results_[i];
  }
}

bool Converter::Select(std::string& problem) {
  selected_.clear();
  if (options_.columns.empty()) {
    if (!TakesFieldCount(options_.command, fields_.size())) {
      problem = "wrong number of fields: expected ";
      problem += Expectation(options_.command);
      problem += ", found ";
      AppendNumber(problem, fields_.size());
      return false;
    }
    selected_.assign(fields_.begin(), fields_.end());
    return true;
  }
  for (const int column : options_.columns) {
    if (static_cast<std::size_t>(column) > fields_.size()) {
      problem = "wrong number of fields: column ";
      AppendNumber(problem, static_cast<std::size_t>(column));
      problem += " is missing, the record has ";
      AppendNumber(problem, fields_.size());
      return false;
    }
    selected_.push_back(fields_[static_cast<std::size_t>(column) - 1]);
  }
  return true;
}

bool Converter::ConvertLine(std::string_view line, long number, std::string& out) {
  out.clear();
  std::string_view record = line;
  std::string_view comment;
  if (!options_.comment_delimiter.empty()) {
    const std::size_t at = line.find(options_.comment_delimiter);
    if (at != std::string_view::npos) {
      record = line.substr(0, at);
      comment = line.substr(at);
    }
  }
  auto finish = [&](bool ok) {
    if (!comment.empty()) {
      if (!out.empty()) out += ' ';
      out += comment;
    }
    return ok;
  };

  std::string problem;
  if (Split(record, problem)) {
    if (fields_.empty()) return finish(true);  // an empty record gives an empty line
    if (Select(problem)) {
      try {
        Compute();
        if (options_.append) {
          out += record;
          out += separator_;
        }
        AppendResults(out);
        return finish(true);
      } catch (const Error& error) {
        problem = error.Message();
      }
    }
  }
  out = "ERROR: line ";
  AppendNumber(out, static_cast<std::size_t>(number));
  out += ": ";
  out += problem;
  return finish(false);
}

void Converter::HeaderLine(std::string_view line, std::string& out) {
  out.assign(line);
  if (!options_.append) return;
  for (const std::string_view name : ResultNames(options_.command, options_.dd)) {
    out += separator_;
    out += name;
  }
}

bool Converter::ConvertStream(std::FILE* in, std::FILE* out) {
  constexpr std::size_t kBlock = 1 << 16;
  std::string pending;  // a line that runs over the end of a block
  std::string buffer(kBlock, '\0');
  std::string output;
  std::string line_out;
  output.reserve(2 * kBlock);
  bool all_ok = true;
  long number = 0;

  auto flush = [&] {
    if (!output.empty() && std::fwrite(output.data(), 1, output.size(), out) != output.size()) {
      throw std::runtime_error("cannot write the output");
    }
    output.clear();
  };
  auto handle = [&](std::string_view line) {
    ++number;
    if (number == 1 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (number == 1 && options_.header) {
      HeaderLine(line, line_out);
    } else {
      all_ok = ConvertLine(line, number, line_out) && all_ok;
    }
    output += line_out;
    output += '\n';
    if (output.size() >= kBlock) flush();
  };

  std::size_t got = 0;
  while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
    std::string_view block(buffer.data(), got);
    std::size_t start = 0;
    for (std::size_t end; (end = block.find('\n', start)) != std::string_view::npos;
         start = end + 1) {
      if (pending.empty()) {
        handle(block.substr(start, end - start));
      } else {
        pending.append(block.substr(start, end - start));
        handle(pending);
        pending.clear();
      }
    }
    pending.append(block.substr(start));
  }
  if (std::ferror(in)) throw std::runtime_error("cannot read the input");
  if (!pending.empty()) handle(pending);
  flush();
  if (std::fflush(out) != 0) throw std::runtime_error("cannot write the output");
  return all_ok;
}

}  // namespace miralto::cli
