#include "cli/geojson_input.h"

#include <simdjson.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "core/errors.h"

namespace miralto::cli {

namespace {

// The input in blocks: one feature at a time is held, never the whole file.
class Input {
 public:
  explicit Input(std::FILE* in) : in_(in), block_(1 << 16, '\0') {}

  // The next byte, or EOF.
  int Peek() {
    if (at_ == size_) {
      size_ = std::fread(block_.data(), 1, block_.size(), in_);
      at_ = 0;
      if (size_ == 0) {
        if (std::ferror(in_)) throw std::runtime_error("cannot read the input");
        return EOF;
      }
    }
    return static_cast<unsigned char>(block_[at_]);
  }
  int Get() {
    const int c = Peek();
    if (c != EOF) {
      ++at_;
      ++offset_;
    }
    return c;
  }
  long long offset() const { return offset_; }

 private:
  std::FILE* in_;
  std::string block_;
  std::size_t size_ = 0;
  std::size_t at_ = 0;
  long long offset_ = 0;
};

bool Blank(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Reads JSON values from the input as their text, as written, checking their grammar. Containers
// are followed with a stack of their own and no deeper than kMaxJsonNesting, so that no input can
// exhaust the program's stack, here or in what reads a feature afterwards.
class JsonReader {
 public:
  explicit JsonReader(std::FILE* in) : input_(in) {}

  // The next byte after blanks, not consumed; EOF at the end.
  int PeekToken() {
    while (Blank(input_.Peek())) input_.Get();
    return input_.Peek();
  }
  // Skips a UTF-8 byte-order mark, which RFC 8259 lets a reader ignore, as text input does.
  // False for a start that is only part of one.
  bool SkipByteOrderMark() {
    if (input_.Peek() != static_cast<unsigned char>(kByteOrderMark[0])) return true;
    for (const char c : kByteOrderMark) {
      if (input_.Get() != static_cast<unsigned char>(c)) return false;
    }
    return true;
  }
  // Consumes `c` after blanks; anything else is an error.
  void Expect(char c) {
    if (PeekToken() != c) Fail(std::string("expected '") + c + "'");
    input_.Get();
  }
  // Sets `out` to the text of the next value (its inner blanks kept).
  void Value(std::string& out) {
    out.clear();
    PeekToken();
    std::vector<char> open;  // '{' or '[' of each container entered
    enum class Want { kValue, kValueOrEnd, kKey, kKeyOrEnd, kAfter } want = Want::kValue;
    for (;;) {
      if (want == Want::kAfter && open.empty()) return;
      int c = input_.Peek();
      if (Blank(c)) {
        out += static_cast<char>(input_.Get());
        continue;
      }
      switch (want) {
        case Want::kValueOrEnd:
        case Want::kValue:
          if (want == Want::kValueOrEnd && c == ']') {
            Close(open, out);
            want = Want::kAfter;
          } else if (c == '{' || c == '[') {
            if (open.size() >= kMaxJsonNesting) {
              Fail("nesting deeper than " + std::to_string(kMaxJsonNesting) + " levels");
            }
            open.push_back(static_cast<char>(c));
            out += static_cast<char>(input_.Get());
            want = c == '{' ? Want::kKeyOrEnd : Want::kValueOrEnd;
          } else {
            Scalar(out);
            want = Want::kAfter;
          }
          break;
        case Want::kKeyOrEnd:
        case Want::kKey:
          if (want == Want::kKeyOrEnd && c == '}') {
            Close(open, out);
            want = Want::kAfter;
            break;
          }
          if (c != '"') Fail("expected a member name");
          String(out);
          while (Blank(input_.Peek())) out += static_cast<char>(input_.Get());
          if (input_.Peek() != ':') Fail("expected ':'");
          out += static_cast<char>(input_.Get());
          want = Want::kValue;
          break;
        case Want::kAfter:
          if (c == ',') {
            out += static_cast<char>(input_.Get());
            want = open.back() == '{' ? Want::kKey : Want::kValue;
          } else if (c == (open.back() == '{' ? '}' : ']')) {
            Close(open, out);
          } else {
            Fail("expected ',' or the end of the container");
          }
          break;
      }
    }
  }
  // Appends the string at the input (quotes included) to `out`, its bytes that are not UTF-8 as
  // U+FFFD: what is copied from it to the output stays JSON.
  void String(std::string& out) {
    if (input_.Peek() != '"') Fail("expected a string");
    const std::size_t start = out.size();
    bool beyond_ascii = false;
    out += static_cast<char>(input_.Get());
    for (;;) {
      const int c = input_.Get();
      if (c == EOF || c < 0x20) Fail("unterminated string, or a control character in one");
      out += static_cast<char>(c);
      beyond_ascii = beyond_ascii || c >= 0x80;
      if (c == '"') break;
      if (c != '\\') continue;
      const int e = input_.Get();
      if (e == EOF ||
          std::string_view("\"\\/bfnrtu").find(static_cast<char>(e)) == std::string_view::npos) {
        Fail("a bad escape in a string");
      }
      out += static_cast<char>(e);
      for (int i = 0; e == 'u' && i < 4; ++i) {
        const int h = input_.Get();
        if (h == EOF || !std::isxdigit(h)) Fail("a bad \\u escape in a string");
        out += static_cast<char>(h);
      }
    }
    if (beyond_ascii) {
      const std::string text = out.substr(start);
      out.resize(start);
      AppendUtf8(out, text);
    }
  }
  [[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error("the input is not JSON: " + what + " at byte " +
                             std::to_string(input_.offset()));
  }

 private:
  void Close(std::vector<char>& open, std::string& out) {
    open.pop_back();
    out += static_cast<char>(input_.Get());
  }
  // A number, true, false or null, checked against JSON's grammar.
  void Scalar(std::string& out) {
    if (input_.Peek() == '"') {
      String(out);
      return;
    }
    std::string token;
    for (int c = input_.Peek(); c != EOF && (std::isalnum(c) || c == '-' || c == '+' || c == '.');
         c = input_.Peek()) {
      token += static_cast<char>(input_.Get());
    }
    if (token != "true" && token != "false" && token != "null" && !Number(token)) {
      Fail(token.empty() ? "expected a value" : "\"" + token + "\" is not a JSON value");
    }
    out += token;
  }
  static bool Number(std::string_view t) {
    std::size_t i = 0;
    auto digits = [&] {
      const std::size_t start = i;
      while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
      return i > start;
    };
    if (i < t.size() && t[i] == '-') ++i;
    if (i < t.size() && t[i] == '0') {
      ++i;
    } else if (!digits()) {
      return false;
    }
    if (i < t.size() && t[i] == '.' && (++i, !digits())) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
      ++i;
      if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
      if (!digits()) return false;
    }
    return i == t.size();
  }

  Input input_;
};

// The members of an object's text, which JsonReader has checked: each name and value as written.
struct Member {
  std::string_view name;  // with its quotes
  std::string_view value;
};

std::vector<Member> Members(std::string_view object) {
  std::vector<Member> members;
  std::size_t i = object.find('{') + 1;
  auto skip_blanks = [&] {
    while (i < object.size() && Blank(static_cast<unsigned char>(object[i]))) ++i;
  };
  auto skip_string = [&] {
    for (++i; object[i] != '"'; ++i) {
      if (object[i] == '\\') ++i;
    }
    ++i;
  };
  for (;;) {
    skip_blanks();
    if (object[i] == '}') return members;
    if (object[i] == ',') {
      ++i;
      skip_blanks();
    }
    const std::size_t name = i;
    skip_string();
    Member member{object.substr(name, i - name), {}};
    skip_blanks();
    ++i;  // ':'
    skip_blanks();
    const std::size_t value = i;
    int depth = 0;
    for (; i < object.size(); ++i) {
      const char c = object[i];
      if (c == '"') {
        skip_string();
        --i;
      } else if (c == '{' || c == '[') {
        ++depth;
      } else if (c == '}' || c == ']') {
        if (depth == 0) break;
        --depth;
      } else if (c == ',' && depth == 0) {
        break;
      }
    }
    std::size_t end = i;
    while (end > value && Blank(static_cast<unsigned char>(object[end - 1]))) --end;
    member.value = object.substr(value, end - value);
    members.push_back(member);
  }
}

bool IsObject(std::string_view text) { return !text.empty() && text.front() == '{'; }

// Reads parts of a feature with simdjson's On-Demand API: only what is asked for is parsed, so
// a property's number beyond the double range, or one of many digits, is no concern of the point.
class FeatureParser {
 public:
  // The text of a JSON string without its quotes and escapes.
  std::string Unescaped(std::string_view json_string) {
    padded_.assign(json_string);
    std::string_view text;
    simdjson::ondemand::document document;
    if (parser_.iterate(Padded()).get(document) != simdjson::SUCCESS ||
        document.get_string().get(text) != simdjson::SUCCESS) {
      return std::string(json_string);
    }
    return std::string(text);
  }

  // The point of a geometry's text as two number texts, as written; throws ConversionError
  // naming what is missing.
  void Point(std::string_view geometry, std::string& lon, std::string& lat) {
    padded_.assign(geometry);
    simdjson::ondemand::document document;
    simdjson::ondemand::object object;
    if (parser_.iterate(Padded()).get(document) != simdjson::SUCCESS ||
        document.get_object().get(object) != simdjson::SUCCESS) {
      throw ConversionError({MessageId::kNoGeometry, {}});
    }
    simdjson::ondemand::value type;
    if (object.find_field_unordered("type").get(type) != simdjson::SUCCESS) {
      throw ConversionError({MessageId::kGeometryWithoutType, {}});
    }
    std::string_view name;
    if (type.get_string().get(name) != simdjson::SUCCESS || name != "Point") {
      std::string_view raw = type.raw_json_token();
      while (!raw.empty() && Blank(static_cast<unsigned char>(raw.back()))) raw.remove_suffix(1);
      throw ConversionError({MessageId::kGeometryNotAPoint, {Argument::Text(raw)}});
    }
    simdjson::ondemand::array coordinates;
    std::string* texts[] = {&lon, &lat};
    std::size_t count = 0;
    if (object.find_field_unordered("coordinates").get_array().get(coordinates) ==
        simdjson::SUCCESS) {
      for (auto element : coordinates) {
        simdjson::ondemand::value value;
        simdjson::ondemand::json_type json_type;
        if (element.get(value) != simdjson::SUCCESS ||
            value.type().get(json_type) != simdjson::SUCCESS ||
            json_type != simdjson::ondemand::json_type::number) {
          break;
        }
        std::string_view raw = value.raw_json_token();
        while (!raw.empty() && Blank(static_cast<unsigned char>(raw.back()))) raw.remove_suffix(1);
        texts[count]->assign(raw);
        if (++count == 2) break;
      }
    }
    if (count < 2) throw ConversionError({MessageId::kPointWithoutCoordinates, {}});
  }

 private:
  simdjson::padded_string_view Padded() {
    const std::size_t size = padded_.size();
    padded_.resize(size + simdjson::SIMDJSON_PADDING, ' ');
    return simdjson::padded_string_view(padded_.data(), size, padded_.size());
  }

  simdjson::ondemand::parser parser_;
  std::string padded_;
};

}  // namespace

bool ConvertGeoJson(const Options& options, std::FILE* in, std::FILE* out, std::FILE* messages) {
  JsonReader reader(in);
  FeatureParser parser;
  if (!reader.SkipByteOrderMark() || reader.PeekToken() != '{') {
    throw std::runtime_error("the input is not a GeoJSON FeatureCollection");
  }
  reader.Expect('{');

  Options text_options = options;
  text_options.to = Format::kText;
  Converter converter(text_options);
  const auto names = ResultNames(Info(options.command), options.dd);
  // What earlier runs wrote into a feature's properties: replaced by this run's results.
  auto result_property = [&names](std::string_view name) {
    return name == kErrorProperty || std::find(names.begin(), names.end(), name) != names.end();
  };
  const bool geojson = options.to == Format::kGeoJson;
  // The text lines come from the text format's writer, failures included.
  const std::unique_ptr<Writer> text_writer = Info(Format::kText).make({' ', false});
  std::string output;
  bool all_ok = true;
  auto write = [&] {
    if (std::fwrite(output.data(), 1, output.size(), out) != output.size()) {
      throw std::runtime_error("cannot write the output");
    }
    output.clear();
  };

  // One feature: its point converted, its properties those it had but the results of earlier
  // runs, then this run's results or error.
  std::string lon, lat;
  LineNumber number = 0;
  auto convert_feature = [&](std::string_view feature) {
    ++number;
    std::string problem;
    std::span<const std::string> results;
    const std::vector<Member> members =
        IsObject(feature) ? Members(feature) : std::vector<Member>();
    std::string_view geometry, properties;
    bool has_geometry = false;
    bool has_properties = false;
    for (const Member& member : members) {
      const std::string name = parser.Unescaped(member.name);
      if (name == "geometry") {
        geometry = member.value;
        has_geometry = true;
      } else if (name == "properties") {
        properties = member.value;
        has_properties = true;
      }
    }
    try {
      if (!has_geometry) throw ConversionError({MessageId::kNoGeometry, {}});
      parser.Point(geometry, lon, lat);
      const std::string_view fields[] = {lon, lat};
      results = converter.Convert(fields);
    } catch (const Error& error) {
      problem = error.Message();
      all_ok = false;
    }
    if (geojson) {
      output += number == 1 ? "\n" : ",\n";
      if (!IsObject(feature)) {
        output += feature;
        // No properties to hold the error: it is told where a user sees it.
        if (messages != nullptr) {
          std::string message = "miralto-cli: ";
          AppendFailure(message, number, problem, "feature");
          message += '\n';
          std::fputs(message.c_str(), messages);
        }
      } else {
        auto write_properties = [&] {
          output += "\"properties\":{";
          bool first = true;
          auto separate = [&] {
            if (!first) output += ',';
            first = false;
          };
          if (IsObject(properties)) {
            for (const Member& property : Members(properties)) {
              if (result_property(parser.Unescaped(property.name))) continue;
              separate();
              output.append(property.name).append(":").append(property.value);
            }
          }
          if (problem.empty()) {
            for (std::size_t i = 0; i < results.size(); ++i) {
              separate();
              AppendJsonString(output, names[i]);
              output += ':';
              AppendJsonString(output, results[i]);
            }
          } else {
            separate();
            AppendJsonString(output, kErrorProperty);
            output += ':';
            AppendJsonString(output, problem);
          }
          output += '}';
        };
        output += '{';
        bool first = true;
        for (const Member& member : members) {
          if (!first) output += ',';
          first = false;
          if (member.value.data() == properties.data() && has_properties) {
            write_properties();
          } else {
            output.append(member.name).append(":").append(member.value);
          }
        }
        if (!has_properties) {
          if (!first) output += ',';
          write_properties();
        }
        output += '}';
      }
    } else {
      RecordView view;
      view.number = number;
      view.unit = "feature";
      view.result_names = names;
      view.results = results;
      view.error = problem;
      text_writer->Record(view, output);
      output += '\n';
    }
    if (output.size() >= (1 << 16)) write();
  };

  // The collection's members stream through in their order; the features one at a time.
  bool collection = false;
  bool features = false;
  std::string name, value;
  if (geojson) output += '{';
  bool first = true;
  if (reader.PeekToken() == '}')
    reader.Expect('}');
  else {
    for (;;) {
      name.clear();
      reader.PeekToken();
      reader.String(name);
      reader.Expect(':');
      const std::string key = parser.Unescaped(name);
      if (geojson) {
        if (!first) output += ',';
        output.append(name).append(":");
      }
      first = false;
      if (key == "features") {
        if (reader.PeekToken() != '[') {
          throw std::runtime_error("the input is not a GeoJSON FeatureCollection");
        }
        features = true;
        reader.Expect('[');
        if (geojson) output += '[';
        if (reader.PeekToken() == ']') {
          reader.Expect(']');
        } else {
          for (;;) {
            reader.Value(value);
            convert_feature(value);
            if (reader.PeekToken() == ',') {
              reader.Expect(',');
              continue;
            }
            reader.Expect(']');
            break;
          }
        }
        if (geojson) output += "\n]";
      } else {
        reader.Value(value);
        if (key == "type") {
          collection = parser.Unescaped(value) == "FeatureCollection";
          if (!collection) throw std::runtime_error("the input is not a GeoJSON FeatureCollection");
        }
        if (geojson) output += value;
      }
      if (reader.PeekToken() == ',') {
        reader.Expect(',');
        continue;
      }
      reader.Expect('}');
      break;
    }
  }
  if (reader.PeekToken() != EOF) reader.Fail("text after the collection");
  if (!collection || !features) {
    throw std::runtime_error("the input is not a GeoJSON FeatureCollection");
  }
  if (geojson) output += "}\n";
  write();
  if (std::fflush(out) != 0) throw std::runtime_error("cannot write the output");
  return all_ok;
}

}  // namespace miralto::cli
