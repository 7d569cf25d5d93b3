#include "cli/converter.h"

#include <csv.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "cli/csv_quotes.h"
#include "cli/pipeline.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/operations.h"

namespace miralto::cli {

namespace {

int NoSpace(unsigned char) { return 0; }  // blanks belong to their field, as in the window

void AppendNumber(std::string& out, std::size_t value) { out += std::to_string(value); }

// A map shows longitudes from -180 to 180 and latitudes from -90 to 90.
constexpr double kLonLimit = 180;
constexpr double kLatLimit = 90;

constexpr std::string_view kInputCode[] = {kCodeProperty};

// How a message names the record's field `i` (from 0): "field 1", or "column 3" with --columns.
std::string FieldName(const std::vector<int>& columns, std::size_t i) {
  return columns.size() > i ? "column " + std::to_string(columns[i])
                            : "field " + std::to_string(i + 1);
}

}  // namespace

Converter::Converter(Options options)
    : options_(std::move(options)),
      info_(Info(options_.command)),
      map_(Info(options_.to).is_map),
      writer_(Info(options_.to).make({options_.csv ? ',' : ' ', options_.append})),
      separator_(options_.csv ? ',' : ' '),
      parser_(std::make_unique<csv_parser>()),
      // The pair's fields are read latitude first with --order latlon: the longitude is field 2.
      written_(FieldName(options_.columns, options_.lat_first ? 1 : 0),
               FieldName(options_.columns, options_.lat_first ? 0 : 1), options_.lenient) {
  InitParser();
  const auto names = ResultNames(info_, options_.dd);
  result_name_count_ = names.size();
  std::copy(names.begin(), names.end(), result_names_.begin());
  if (options_.lat_first && result_name_count_ == 2 && info_.has_point) {
    std::swap(result_names_[0], result_names_[1]);
  }
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
    // A pair as maps copy it, "23.236255, 113.288959": the comma between the two fields goes.
    if (fields_.size() == 3 && fields_[1] == ",") fields_.erase(fields_.begin() + 1);
    if (fields_.size() == 2 && fields_[0].size() > 1 && fields_[0].back() == ',') {
      fields_[0].remove_suffix(1);
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

void Converter::SetPoint(const PositionTexts* position) {
  if (position == nullptr) {
    point_[0] = results_[0];
    point_[1] = results_[1];
  } else {
    DecimalTexts point = DmsToDecimal(*position);
    point_[0] = std::move(point.lon);
    point_[1] = std::move(point.lat);
  }
  const double lon = ParseStrict(point_[0]);
  const double lat = ParseStrict(point_[1]);
  if (!(std::fabs(lon) <= kLonLimit && std::fabs(lat) <= kLatLimit)) {
    throw OutOfReachError(
        {MessageId::kOffTheMap, {Argument::Text(point_[0]), Argument::Text(point_[1])}});
  }
}

void Converter::Compute(const Layout& layout) {
  switch (options_.command) {
    case Command::kDms:
      return ComputeDms();
    case Command::kDd:
      return ComputeDd(layout.notations);
    case Command::kEncode:
      return ComputeEncode(layout.notations);
    case Command::kDecode:
      return ComputeDecode();
    case Command::kCompare:
      return ComputeCompare();
  }
}

// The Put steps move the texts into the results: the point, if any, is set before.
void Converter::PutDms(std::size_t at, DmsTexts& t) {
  results_[at] = std::move(t.degrees);
  results_[at + 1] = std::move(t.minutes);
  results_[at + 2] = std::move(t.seconds);
}

void Converter::PutPosition(PositionTexts& p) {
  PutDms(0, p.lon);
  PutDms(3, p.lat);
  result_count_ = 6;
}

void Converter::PutDegrees(DecimalTexts&& d) {
  results_[0] = std::move(d.lon);
  results_[1] = std::move(d.lat);
  result_count_ = 2;
}

PositionTexts Converter::SixFields() const {
  const auto& f = selected_;
  return {{std::string(f[0]), std::string(f[1]), std::string(f[2])},
          {std::string(f[3]), std::string(f[4]), std::string(f[5])}};
}

void Converter::ComputeDms() {
  PositionTexts p = written_.Dms(selected_[0], selected_[1]);
  if (map_) SetPoint(&p);
  PutPosition(p);
}

void Converter::ComputeDd(bool notations) {
  PutDegrees(notations ? written_.Degrees(selected_[0], selected_[1]) : DmsToDecimal(SixFields()));
  if (map_) SetPoint(nullptr);
}

void Converter::ComputeEncode(bool notations) {
  const Corrections& c = options_.corrections;
  result_count_ = 1;
  if (!notations) {
    const PositionTexts p = SixFields();
    results_[0] = EncodePosition(p, c);
    if (map_) SetPoint(&p);
  } else if (map_) {
    // The map's point comes from the texts "↑" writes.
    const PositionTexts p = written_.Dms(selected_[0], selected_[1]);
    results_[0] = EncodePosition(p, c);
    SetPoint(&p);
  } else {
    results_[0] = written_.Code(selected_[0], selected_[1], c);
  }
}

void Converter::ComputeDecode() {
  if (options_.dd) {
    PutDegrees(DecodeDegrees(selected_[0], options_.corrections));
    if (map_) SetPoint(nullptr);
    return;
  }
  PositionTexts p = DecodePosition(selected_[0], options_.corrections);
  if (map_) SetPoint(&p);
  PutPosition(p);
}

void Converter::ComputeCompare() {
  CodeDifference d = CompareCodes(selected_[0], selected_[1]);
  results_[0] = std::move(d.lon);
  results_[1] = std::move(d.lat);
  result_count_ = 2;
}

const Layout* Converter::Select(std::string& problem) {
  selected_.clear();
  if (options_.columns.empty()) {
    selected_.assign(fields_.begin(), fields_.end());
  } else {
    for (const int column : options_.columns) {
      if (static_cast<std::size_t>(column) > fields_.size()) {
        problem = "wrong number of fields: column ";
        AppendNumber(problem, static_cast<std::size_t>(column));
        problem += " is missing, the record has ";
        AppendNumber(problem, fields_.size());
        return nullptr;
      }
      selected_.push_back(fields_[static_cast<std::size_t>(column) - 1]);
    }
  }
  const Layout* layout = FindLayout(info_, selected_.size(), options_.lenient);
  if (layout != nullptr && layout->notations && options_.lat_first) {
    std::swap(selected_[0], selected_[1]);
  }
  if (layout == nullptr) {
    problem = "wrong number of fields: expected ";
    problem += Expectation(info_, options_.lenient);
    problem += ", found ";
    AppendNumber(problem, selected_.size());
  }
  return layout;
}

std::span<const std::string> Converter::Convert(std::span<const std::string_view> fields) {
  const Layout* layout = FindLayout(info_, fields.size(), options_.lenient);
  if (layout == nullptr) {
    throw ConversionError({MessageId::kWrongFieldCount,
                           {Argument::Text(Expectation(info_, options_.lenient)),
                            Argument::Number(static_cast<std::int64_t>(fields.size()))}});
  }
  selected_.assign(fields.begin(), fields.end());
  Compute(*layout);
  return {results_.data(), result_count_};
}

bool Converter::ConvertLine(std::string_view line, LineNumber number, std::string& out) {
  out.clear();
  return AppendLine(line, number, out);
}

bool Converter::AppendLine(std::string_view line, LineNumber number, std::string& out) {
  RecordView view;
  view.number = number;
  view.record = line;
  if (!options_.comment_delimiter.empty()) {
    const std::size_t at = line.find(options_.comment_delimiter);
    if (at != std::string_view::npos) {
      view.record = line.substr(0, at);
      view.comment = line.substr(at);
    }
  }
  std::string problem;
  if (Split(view.record, problem)) {
    // A record longer than the header: its further columns are named too.
    if (!header_views_.empty() && fields_.size() > header_names_.size()) {
      NameColumns({}, fields_.size());
    }
    view.input_names = header_views_;
    view.inputs = fields_;
    if (fields_.empty()) {  // an empty record gives an empty line, and no point
      if (!map_) writer_->Record(view, out);
      return true;
    }
    if (const Layout* layout = Select(problem)) {
      try {
        Compute(*layout);
        view.result_names = {result_names_.data(), result_name_count_};
        view.results = {results_.data(), result_count_};
        if (options_.lat_first && result_count_ == 2 && info_.has_point) {
          std::swap(results_[0], results_[1]);
        }
        if (map_) {
          view.lon = point_[0];
          view.lat = point_[1];
          if (info_.point_name == PointName::kResult) view.name = results_[0];
          if (info_.point_name == PointName::kInput) {
            view.name = selected_[0];
            if (header_views_.empty()) {
              view.input_names = kInputCode;
              view.inputs = {selected_.data(), 1};
            }
          }
        }
        writer_->Record(view, out);
        return true;
      } catch (const Error& error) {
        problem = error.Message();
      }
    }
  }
  view.error = problem;
  writer_->Record(view, out);
  return false;
}

void Converter::HeaderLine(std::string_view line, std::string& out) {
  out.clear();
  if (map_) {
    // The header's names become property names; one that is empty, taken or a result name
    // gives way to "column N".
    std::string ignored;
    Split(line, ignored);
    header_names_.clear();
    NameColumns(fields_, fields_.size());
    return;
  }
  out.assign(line);
  if (!options_.append) return;
  for (const std::string_view name : ResultNames(info_, options_.dd)) {
    out += separator_;
    out += name;
  }
}

void Converter::NameColumns(std::span<const std::string_view> header, std::size_t count) {
  const auto results = ResultNames(info_, options_.dd);
  auto taken = [&](std::string_view name) {
    return name.empty() ||
           std::find(header_names_.begin(), header_names_.end(), name) != header_names_.end() ||
           std::find(results.begin(), results.end(), name) != results.end() ||
           std::find(std::begin(kReservedProperties), std::end(kReservedProperties), name) !=
               std::end(kReservedProperties);
  };
  for (std::size_t i = header_names_.size(); i < count; ++i) {
    std::string name = i < header.size() ? std::string(header[i]) : std::string();
    if (taken(name)) {
      // A header may itself hold "column 3": the generated name then takes a suffix.
      name = "column " + std::to_string(i + 1);
      for (int n = 2; taken(name); ++n) {
        name = "column " + std::to_string(i + 1) + " (" + std::to_string(n) + ")";
      }
    }
    header_names_.push_back(std::move(name));
  }
  header_views_.assign(header_names_.begin(), header_names_.end());
}

void Converter::Begin(std::string& out) { writer_->Begin(out); }
void Converter::End(std::string& out) { writer_->End(out); }

bool Converter::ConvertRecord(std::string_view record, std::string& out) {
  std::string line;
  out.clear();
  Begin(out);
  const bool ok = ConvertLine(record, 1, line);
  out += line;
  if (!map_) out += '\n';
  End(out);
  return ok;
}

void Converter::HandleLine(std::string_view line, Lines& lines, std::string& out) {
  ++lines.number;
  if (lines.number == 1 && line.starts_with(kByteOrderMark)) {
    line.remove_prefix(kByteOrderMark.size());
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (options_.csv) {
    // A CSV record whose quoted field holds a line break runs over several lines: it is gathered
    // while its quotes are open and goes by the number of its first line.
    const bool was_open = lines.quotes.open();
    for (const char c : line) lines.quotes.Step(c);
    lines.quotes.Step('\n');
    if (was_open) {
      lines.record += '\n';
      lines.record.append(line);
    } else if (lines.quotes.open()) {
      lines.record.assign(line);
      lines.first_line = lines.number;
    }
    if (lines.quotes.open()) return;
    if (was_open) {
      HandleRecord(lines.record, lines.first_line, lines, out);
      return;
    }
  }
  HandleRecord(line, lines.number, lines, out);
}

void Converter::HandleRecord(std::string_view record, LineNumber number, Lines& lines,
                             std::string& out) {
  if (number == 1 && options_.header) {
    HeaderLine(record, line_out_);
    if (map_) return;
    out += line_out_;
  } else {
    lines.ok = AppendLine(record, number, out) && lines.ok;
  }
  if (!map_) out += '\n';
}

void Converter::FinishLines(Lines& lines, std::string& out) {
  if (lines.quotes.open()) {  // a quote never closed: a malformed record
    lines.quotes = {};
    HandleRecord(lines.record, lines.first_line, lines, out);
  }
}

void Converter::Feed(std::string_view block, std::string& out) {
  std::size_t start = 0;
  for (std::size_t end; (end = block.find('\n', start)) != std::string_view::npos;
       start = end + 1) {
    if (stream_.pending.empty()) {
      HandleLine(block.substr(start, end - start), stream_.lines, out);
    } else {
      stream_.pending.append(block.substr(start, end - start));
      HandleLine(stream_.pending, stream_.lines, out);
      stream_.pending.clear();
    }
  }
  stream_.pending.append(block.substr(start));
}

bool Converter::Finish(std::string& out) {
  if (!stream_.pending.empty()) {
    HandleLine(stream_.pending, stream_.lines, out);
    stream_.pending.clear();
  }
  FinishLines(stream_.lines, out);
  End(out);
  return stream_.lines.ok;
}

void Converter::StartPart() { writer_ = Info(options_.to).make({separator_, options_.append}); }

bool Converter::ConvertLines(std::string_view text, LineNumber& number, std::string& out) {
  // The block reader cuts only at record ends, so a block's records are whole.
  Lines lines;
  lines.number = number;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string_view::npos; start = end + 1) {
    HandleLine(text.substr(start, end - start), lines, out);
  }
  if (start < text.size()) HandleLine(text.substr(start), lines, out);
  FinishLines(lines, out);
  number = lines.number;
  return lines.ok;
}

bool Converter::ConvertStream(std::FILE* in, std::FILE* out) {
  BlockReader reader(in, options_.csv);
  std::string block;
  std::string output;
  bool all_ok = true;
  LineNumber number = 0;
  Begin(output);
  while (reader.Next(block)) {
    all_ok = ConvertLines(block, number, output) && all_ok;
    WriteAll(out, output);
    output.clear();
  }
  End(output);
  WriteAll(out, output);
  return all_ok;
}

}  // namespace miralto::cli
