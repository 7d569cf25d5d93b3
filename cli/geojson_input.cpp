#include "cli/geojson_input.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors.h"
#include "core/text.h"

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

char32_t Hex4(std::string_view digits) {
  unsigned value = 0;
  std::from_chars(digits.data(), digits.data() + 4, value, 16);
  return value;
}

// The text of a string as JsonReader read it, quotes and escapes taken away; an escaped
// surrogate without its pair is U+FFFD.
std::string Unescaped(std::string_view string) {
  static constexpr std::string_view kEscapes = "\"\\/bfnrt", kMeanings = "\"\\/\b\f\n\r\t";
  const std::string_view inner = string.substr(1, string.size() - 2);
  std::string text;
  for (std::size_t i = 0; i < inner.size(); ++i) {
    if (inner[i] != '\\') {
      text += inner[i];
    } else if (inner[++i] != 'u') {
      text += kMeanings[kEscapes.find(inner[i])];
    } else {
      char32_t c = Hex4(inner.substr(i + 1));
      i += 4;
      if (c >= 0xD800 && c < 0xDC00 && inner.substr(i + 1, 2) == "\\u") {
        const char32_t low = Hex4(inner.substr(i + 3));
        if (low >= 0xDC00 && low < 0xE000) {
          c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
          i += 6;
        }
      }
      AppendCharacter(text, c >= 0xD800 && c < 0xE000 ? 0xFFFD : c);
    }
  }
  return text;
}

// How deep into a value the reader notes where the values in it lie: as deep as a feature is
// looked into (its geometry, the coordinates, a number). At the deepest level only the first
// kNotedDeepest of a container are noted, a point's two numbers: the notes of a long line's
// positions or of a property's long array would outweigh their text.
constexpr std::size_t kNotedDepth = 3;
constexpr std::size_t kNotedDeepest = 2;

// A value as JsonReader read it: its text as written (but for bytes of strings that are not UTF-8,
// which are U+FFFD), and where the values in it lie, as far as kNotedDepth tells. A value in it
// is a Part, its place in the order of the text; 0 is the whole.
class JsonValue {
 public:
  using Part = std::size_t;

  std::string_view Text(Part part = 0) const { return Slice(parts_[part].begin, parts_[part].end); }
  // A member's name as written, quotes included.
  std::string_view Name(Part part) const {
    return Slice(parts_[part].name_begin, parts_[part].name_end);
  }
  // Whether `part` starts with `c`: '{' an object, '[' an array, '"' a string.
  bool Is(Part part, char c) const { return text_[parts_[part].begin] == c; }
  bool IsNumber(Part part) const {
    const char c = text_[parts_[part].begin];
    return c == '-' || (c >= '0' && c <= '9');
  }
  // Calls `f` with each noted member or element of `part` in order.
  template <typename F>
  void ForEach(Part part, F&& f) const {
    for (Part p = part + 1; p < parts_[part].after; p = parts_[p].after) f(p);
  }
  // The member named `name` of an object; of two of one name the last, as JavaScript's
  // JSON.parse takes it.
  std::optional<Part> Member(Part object, std::string_view name) const {
    std::optional<Part> found;
    if (Is(object, '{')) {
      ForEach(object, [&](Part p) {
        if (Unescaped(Name(p)) == name) found = p;
      });
    }
    return found;
  }

 private:
  friend class JsonReader;
  struct Place {
    std::size_t begin = 0, end = 0;
    std::size_t name_begin = 0, name_end = 0;
    Part after = 0;  // the first part after this one's members
  };
  std::string_view Slice(std::size_t begin, std::size_t end) const {
    return std::string_view(text_).substr(begin, end - begin);
  }

  std::string text_;
  std::vector<Place> parts_;
};

// Reads JSON values from the input, checking their grammar. Containers are followed with a stack
// of their own and no deeper than kMaxJsonNesting, so that no input can exhaust the program's
// stack.
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
  // Calls `each` to read every element of the container whose bracket was just consumed, up to
  // and with its closing `end`.
  template <typename F>
  void Elements(char end, F&& each) {
    if (PeekToken() == end) return Expect(end);
    do {
      each();
    } while (PeekToken() == ',' ? (Expect(','), true) : (Expect(end), false));
  }
  // Reads the next value into `value`.
  void Value(JsonValue& value) {
    value.text_.clear();
    value.parts_.clear();
    open_.clear();
    PeekToken();
    Want want = Want::kValue;
    while (want != Want::kAfter || !open_.empty()) {
      const int c = input_.Peek();
      if (Blank(c)) {
        value.text_ += static_cast<char>(input_.Get());
      } else if (want == Want::kValue || want == Want::kValueOrEnd) {
        want = want == Want::kValueOrEnd && c == ']' ? Close(value) : ValueStart(c, value);
      } else if (want == Want::kKey || want == Want::kKeyOrEnd) {
        want = want == Want::kKeyOrEnd && c == '}' ? Close(value) : MemberName(c, value);
      } else {
        want = AfterValue(c, value);
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
  enum class Want { kValue, kValueOrEnd, kKey, kKeyOrEnd, kAfter };
  static constexpr JsonValue::Part kNotNoted = -1;
  struct Container {
    char bracket;  // '{' or '['
    JsonValue::Part part;
    std::size_t noted = 0;  // of its members or elements
  };

  // A value starting at `c`: a container entered, or a scalar read whole.
  Want ValueStart(int c, JsonValue& value) {
    const JsonValue::Part part = Note(value);
    if (c != '{' && c != '[') {
      Scalar(value.text_);
      End(value, part);
      return Want::kAfter;
    }
    if (open_.size() >= kMaxJsonNesting) {
      Fail("nesting deeper than " + std::to_string(kMaxJsonNesting) + " levels");
    }
    open_.push_back({static_cast<char>(c), part});
    value.text_ += static_cast<char>(input_.Get());
    return c == '{' ? Want::kKeyOrEnd : Want::kValueOrEnd;
  }
  Want MemberName(int c, JsonValue& value) {
    if (c != '"') Fail("expected a member name");
    name_begin_ = value.text_.size();
    String(value.text_);
    name_end_ = value.text_.size();
    while (Blank(input_.Peek())) value.text_ += static_cast<char>(input_.Get());
    if (input_.Peek() != ':') Fail("expected ':'");
    value.text_ += static_cast<char>(input_.Get());
    return Want::kValue;
  }
  Want AfterValue(int c, JsonValue& value) {
    const char bracket = open_.back().bracket;
    if (c == ',') {
      value.text_ += static_cast<char>(input_.Get());
      return bracket == '{' ? Want::kKey : Want::kValue;
    }
    if (c != (bracket == '{' ? '}' : ']')) Fail("expected ',' or the end of the container");
    return Close(value);
  }
  Want Close(JsonValue& value) {
    value.text_ += static_cast<char>(input_.Get());
    End(value, open_.back().part);
    open_.pop_back();
    return Want::kAfter;
  }
  // Notes where the value starting here lies, if it is not too deep to be noted.
  JsonValue::Part Note(JsonValue& value) {
    if (open_.size() > kNotedDepth ||
        (open_.size() == kNotedDepth && open_.back().noted == kNotedDeepest)) {
      return kNotNoted;
    }
    if (!open_.empty()) ++open_.back().noted;
    JsonValue::Place place;
    place.begin = value.text_.size();
    if (!open_.empty() && open_.back().bracket == '{') {
      place.name_begin = name_begin_;
      place.name_end = name_end_;
    }
    value.parts_.push_back(place);
    return value.parts_.size() - 1;
  }
  void End(JsonValue& value, JsonValue::Part part) const {
    if (part == kNotNoted) return;
    value.parts_[part].end = value.text_.size();
    value.parts_[part].after = value.parts_.size();
  }
  // A string, number, true, false or null, checked against JSON's grammar.
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
  std::vector<Container> open_;                // the containers the value being read is in
  std::size_t name_begin_ = 0, name_end_ = 0;  // the member name read last, in the value's text
};

[[noreturn]] void NotACollection() {
  throw std::runtime_error("the input is not a GeoJSON FeatureCollection");
}

Options AsText(Options options) {
  options.to = Format::kText;
  return options;
}

// One conversion of a collection: its members walked in their order, each feature converted and
// written as soon as it is read.
class CollectionConversion {
 public:
  CollectionConversion(const Options& options, std::FILE* in, std::FILE* out, std::FILE* messages)
      : reader_(in),
        out_(out),
        messages_(messages),
        geojson_(options.to == Format::kGeoJson),
        converter_(AsText(options)),
        names_(ResultNames(Info(options.command), options.dd)),
        // The text lines come from the text format's writer, failures included.
        text_writer_(Info(Format::kText).make({' ', false})) {}

  bool Walk() {
    if (!reader_.SkipByteOrderMark() || reader_.PeekToken() != '{') NotACollection();
    reader_.Expect('{');
    if (geojson_) output_ += '{';
    bool collection = false, features = false;
    const char* separator = "";
    reader_.Elements('}', [&] {
      std::string name;
      reader_.PeekToken();
      reader_.String(name);
      reader_.Expect(':');
      if (geojson_) output_.append(separator).append(name).append(":");
      separator = ",";
      const std::string key = Unescaped(name);
      if (key == "features") {
        WalkFeatures();
        features = true;
        return;
      }
      reader_.Value(value_);
      if (key == "type") {
        collection = value_.Is(0, '"') && Unescaped(value_.Text()) == "FeatureCollection";
        if (!collection) NotACollection();
      }
      if (geojson_) output_ += value_.Text();
    });
    if (reader_.PeekToken() != EOF) reader_.Fail("text after the collection");
    if (!collection || !features) NotACollection();
    if (geojson_) output_ += "}\n";
    Flush();
    if (std::fflush(out_) != 0) throw std::runtime_error("cannot write the output");
    return all_ok_;
  }

 private:
  using Part = JsonValue::Part;
  // A feature's results, or the message of its failure.
  struct Outcome {
    std::span<const std::string> results;
    std::string problem;
  };

  // The features one at a time.
  void WalkFeatures() {
    if (reader_.PeekToken() != '[') NotACollection();
    reader_.Expect('[');
    if (geojson_) output_ += '[';
    reader_.Elements(']', [&] {
      reader_.Value(value_);
      ++number_;
      const Outcome outcome = Convert(value_);
      if (geojson_) {
        WriteFeature(value_, outcome);
      } else {
        WriteLine(outcome);
      }
      if (output_.size() >= (1 << 16)) Flush();
    });
    if (geojson_) output_ += "\n]";
  }

  Outcome Convert(const JsonValue& feature) {
    Outcome outcome;
    try {
      ReadPoint(feature);
      const std::string_view fields[] = {lon_, lat_};
      outcome.results = converter_.Convert(fields);
    } catch (const Error& error) {
      outcome.problem = error.Message();
      all_ok_ = false;
    }
    return outcome;
  }

  // The point of a feature's geometry into lon_ and lat_, the number texts as written; throws
  // ConversionError naming what is missing.
  void ReadPoint(const JsonValue& feature) {
    const std::optional<Part> geometry = feature.Member(0, "geometry");
    if (!geometry || !feature.Is(*geometry, '{')) {
      throw ConversionError({MessageId::kNoGeometry, {}});
    }
    const std::optional<Part> type = feature.Member(*geometry, "type");
    if (!type) throw ConversionError({MessageId::kGeometryWithoutType, {}});
    if (!feature.Is(*type, '"') || Unescaped(feature.Text(*type)) != "Point") {
      throw ConversionError({MessageId::kGeometryNotAPoint, {Argument::Text(feature.Text(*type))}});
    }
    std::string* texts[] = {&lon_, &lat_};
    std::size_t count = 0;
    const std::optional<Part> coordinates = feature.Member(*geometry, "coordinates");
    if (coordinates && feature.Is(*coordinates, '[')) {
      bool numbers = true;
      feature.ForEach(*coordinates, [&](Part element) {
        numbers = numbers && count < 2 && feature.IsNumber(element);
        if (numbers) texts[count++]->assign(feature.Text(element));
      });
    }
    if (count < 2) throw ConversionError({MessageId::kPointWithoutCoordinates, {}});
  }

  // The feature with its members as written, but for its properties.
  void WriteFeature(const JsonValue& feature, const Outcome& outcome) {
    output_ += number_ == 1 ? "\n" : ",\n";
    if (!feature.Is(0, '{')) {
      output_ += feature.Text();
      // No properties to hold the error: it is told where a user sees it.
      if (messages_ != nullptr) {
        std::string message = "miralto-cli: ";
        AppendFailure(message, number_, outcome.problem, "feature");
        message += '\n';
        std::fputs(message.c_str(), messages_);
      }
      return;
    }
    const std::optional<Part> properties = feature.Member(0, "properties");
    output_ += '{';
    const char* separator = "";
    feature.ForEach(0, [&](Part member) {
      output_ += separator;
      separator = ",";
      if (member == properties) {
        WriteProperties(feature, properties, outcome);
      } else {
        output_.append(feature.Name(member)).append(":").append(feature.Text(member));
      }
    });
    if (!properties) {
      output_ += separator;
      WriteProperties(feature, properties, outcome);
    }
    output_ += '}';
  }

  // The properties the feature had but the results of earlier runs, then this run's results or
  // error.
  void WriteProperties(const JsonValue& feature, std::optional<Part> properties,
                       const Outcome& outcome) {
    output_ += "\"properties\":{";
    const char* separator = "";
    auto property = [&](std::string_view name) {
      output_ += separator;
      separator = ",";
      AppendJsonString(output_, name);
      output_ += ':';
    };
    if (properties && feature.Is(*properties, '{')) {
      feature.ForEach(*properties, [&](Part p) {
        if (IsResultName(Unescaped(feature.Name(p)))) return;
        output_ += separator;
        separator = ",";
        output_.append(feature.Name(p)).append(":").append(feature.Text(p));
      });
    }
    if (outcome.problem.empty()) {
      for (std::size_t i = 0; i < outcome.results.size(); ++i) {
        property(names_[i]);
        AppendJsonString(output_, outcome.results[i]);
      }
    } else {
      property(kErrorProperty);
      AppendJsonString(output_, outcome.problem);
    }
    output_ += '}';
  }

  // What earlier runs wrote into a feature's properties: replaced by this run's results.
  bool IsResultName(std::string_view name) const {
    return name == kErrorProperty || std::find(names_.begin(), names_.end(), name) != names_.end();
  }

  void WriteLine(const Outcome& outcome) {
    RecordView view;
    view.number = number_;
    view.unit = "feature";
    view.result_names = names_;
    view.results = outcome.results;
    view.error = outcome.problem;
    text_writer_->Record(view, output_);
    output_ += '\n';
  }

  void Flush() {
    if (std::fwrite(output_.data(), 1, output_.size(), out_) != output_.size()) {
      throw std::runtime_error("cannot write the output");
    }
    output_.clear();
  }

  JsonReader reader_;
  std::FILE* out_;
  std::FILE* messages_;
  bool geojson_;
  Converter converter_;
  std::span<const std::string_view> names_;
  std::unique_ptr<Writer> text_writer_;
  JsonValue value_;  // the member or feature read last
  std::string lon_, lat_;
  std::string output_;  // not yet written
  LineNumber number_ = 0;
  bool all_ok_ = true;
};

}  // namespace

bool ConvertGeoJson(const Options& options, std::FILE* in, std::FILE* out, std::FILE* messages) {
  return CollectionConversion(options, in, out, messages).Walk();
}

}  // namespace miralto::cli
