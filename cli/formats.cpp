#include "cli/formats.h"

#include <algorithm>
#include <charconv>

#include "core/numbers.h"

namespace miralto::cli {

namespace {

constexpr std::string_view kReplacement = "\uFFFD";

// Length of the valid UTF-8 sequence (shortest form, no surrogates, at most U+10FFFF) at `pos`;
// 0 for a byte that starts none.
std::size_t Utf8Length(std::string_view text, std::size_t pos) {
  const auto byte = [&](std::size_t i) {
    return pos + i < text.size() ? static_cast<unsigned char>(text[pos + i]) : 0u;
  };
  const unsigned lead = byte(0);
  if (lead < 0x80) return 1;
  auto continuation = [&](std::size_t i, unsigned low = 0x80, unsigned high = 0xBF) {
    return byte(i) >= low && byte(i) <= high;
  };
  if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
  if (lead >= 0xE0 && lead <= 0xEF) {
    const unsigned low = lead == 0xE0 ? 0xA0 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : 0xBF;
    return continuation(1, low, high) && continuation(2) ? 3 : 0;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    const unsigned low = lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xF4 ? 0x8F : 0xBF;
    return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
  }
  return 0;
}

// Whether a valid UTF-8 character is one that XML 1.0 allows: C0 controls are not (but tab, LF
// and CR), nor U+FFFE and U+FFFF, which a parser refuses although UTF-8 carries them.
bool XmlCharacter(std::string_view character) {
  const auto lead = static_cast<unsigned char>(character[0]);
  if (lead < 0x20) return lead == '\t' || lead == '\n' || lead == '\r';
  return character != "\xEF\xBF\xBE" && character != "\xEF\xBF\xBF";
}

void AppendNumber(std::string& out, LineNumber value) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  out.append(digits, result.ptr);
}

// XML Schema decimals (GPX, KML) have no exponent: "1E-06" becomes "0.000001".
void AppendPlainDecimal(std::string& out, std::string_view text) {
  if (text.find_first_of("eE") == std::string_view::npos) {
    out += text;
    return;
  }
  out += FixedText(ParseStrict(text));
}

void AppendXmlCharacters(std::string& out, std::string_view text, bool escape);

// A comment shows its text as it is, but cannot hold "--" nor end in "-".
void AppendXmlComment(std::string& out, std::string_view text) {
  std::string escaped;
  AppendXmlCharacters(escaped, text, false);
  out += "<!-- ";
  for (const char c : escaped) {
    if (c == '-' && !out.empty() && out.back() == '-') out += ' ';
    out += c;
  }
  out += " -->";
}

class TextWriter : public Writer {
 public:
  explicit TextWriter(TextStyle style) : style_(style) {}
  void Begin(std::string&) override {}
  void End(std::string&) override {}
  void Record(const RecordView& r, std::string& out) override {
    const std::size_t start = out.size();
    if (!r.error.empty()) {
      AppendFailureLine(out, r.number, r.error, r.unit);
    } else if (!r.results.empty()) {
      if (style_.append) {
        out += r.record;
        out += style_.separator;
      }
      for (std::size_t i = 0; i < r.results.size(); ++i) {
        if (i > 0) out += style_.separator;
        out += r.results[i];
      }
    }
    if (!r.comment.empty()) {
      if (out.size() > start) out += ' ';
      out += r.comment;
    }
  }

 private:
  TextStyle style_;
};

// Calls `property(name, value)` for the input columns, the results, the comment and the error.
template <typename Property>
void ForEachProperty(const RecordView& r, std::string& scratch, Property property) {
  for (std::size_t i = 0; i < r.input_names.size() && i < r.inputs.size(); ++i) {
    property(r.input_names[i], r.inputs[i]);
  }
  if (r.error.empty()) {
    for (std::size_t i = 0; i < r.results.size(); ++i) property(r.result_names[i], r.results[i]);
  }
  if (!r.comment.empty()) property(kCommentProperty, r.comment);
  if (!r.error.empty()) {
    scratch.clear();
    AppendFailure(scratch, r.number, r.error, r.unit);
    property(kErrorProperty, scratch);
  }
}

class GeoJsonWriter : public Writer {
 public:
  void Begin(std::string& out) override { out += "{\"type\":\"FeatureCollection\",\"features\":["; }
  void End(std::string& out) override { out += "\n]}\n"; }
  void Record(const RecordView& r, std::string& out) override {
    out += first_ ? "\n" : ",\n";
    first_ = false;
    out += "{\"type\":\"Feature\",\"geometry\":";
    if (r.error.empty()) {
      out += "{\"type\":\"Point\",\"coordinates\":[";
      out += r.lon;
      out += ',';
      out += r.lat;
      out += "]}";
    } else {
      out += "null";
    }
    out += ",\"properties\":{";
    bool first_property = true;
    ForEachProperty(r, scratch_, [&](std::string_view name, std::string_view value) {
      if (!first_property) out += ',';
      first_property = false;
      AppendJsonString(out, name);
      out += ':';
      AppendJsonString(out, value);
    });
    out += "}}";
  }
  std::string_view RecordSeparator() const override { return ","; }

 private:
  bool first_ = true;
  std::string scratch_;
};

void AppendPointName(std::string& out, const RecordView& r) {
  if (r.name.empty()) {
    out += "line ";
    AppendNumber(out, r.number);
  } else {
    AppendXmlText(out, r.name);
  }
}

void AppendErrorComment(std::string& out, const RecordView& r, std::string& scratch) {
  scratch.clear();
  AppendFailureLine(scratch, r.number, r.error, r.unit);
  out += '\n';
  AppendXmlComment(out, scratch);
}

class KmlWriter : public Writer {
 public:
  void Begin(std::string& out) override {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\"><Document>";
  }
  void End(std::string& out) override { out += "\n</Document></kml>\n"; }
  void Record(const RecordView& r, std::string& out) override {
    if (!r.error.empty()) return AppendErrorComment(out, r, scratch_);
    out += "\n<Placemark><name>";
    AppendPointName(out, r);
    out += "</name><ExtendedData>";
    ForEachProperty(r, scratch_, [&](std::string_view name, std::string_view value) {
      out += "<Data name=\"";
      AppendXmlText(out, name);
      out += "\"><value>";
      AppendXmlText(out, value);
      out += "</value></Data>";
    });
    out += "</ExtendedData><Point><coordinates>";
    AppendPlainDecimal(out, r.lon);
    out += ',';
    AppendPlainDecimal(out, r.lat);
    out += "</coordinates></Point></Placemark>";
  }

 private:
  std::string scratch_;
};

class GpxWriter : public Writer {
 public:
  void Begin(std::string& out) override {
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<gpx version=\"1.1\" creator=\"miralto-cli\" "
        "xmlns=\"http://www.topografix.com/GPX/1/1\">";
  }
  void End(std::string& out) override { out += "\n</gpx>\n"; }
  // GPX has no free properties: they go into the description as "name=value; ...".
  void Record(const RecordView& r, std::string& out) override {
    if (!r.error.empty()) return AppendErrorComment(out, r, scratch_);
    out += "\n<wpt lat=\"";
    AppendPlainDecimal(out, r.lat);
    out += "\" lon=\"";
    AppendPlainDecimal(out, r.lon);
    out += "\"><name>";
    AppendPointName(out, r);
    out += "</name><desc>";
    bool first = true;
    ForEachProperty(r, scratch_, [&](std::string_view name, std::string_view value) {
      if (!first) out += "; ";
      first = false;
      AppendXmlText(out, name);
      out += '=';
      AppendXmlText(out, value);
    });
    out += "</desc></wpt>";
  }

 private:
  std::string scratch_;
};

template <typename W>
std::unique_ptr<Writer> Make(TextStyle) {
  return std::make_unique<W>();
}

std::unique_ptr<Writer> MakeText(TextStyle style) { return std::make_unique<TextWriter>(style); }

constexpr FormatInfo kFormats[] = {
    {Format::kText, "text", false, true, MakeText},
    {Format::kGeoJson, "geojson", true, true, Make<GeoJsonWriter>},
    {Format::kKml, "kml", true, false, Make<KmlWriter>},
    {Format::kGpx, "gpx", true, false, Make<GpxWriter>},
};

}  // namespace

std::span<const FormatInfo> Formats() { return kFormats; }

void AppendFailure(std::string& out, LineNumber number, std::string_view message,
                   std::string_view unit) {
  out += unit;
  out += ' ';
  AppendNumber(out, number);
  out += ": ";
  out += message;
}

void AppendFailureLine(std::string& out, LineNumber number, std::string_view message,
                       std::string_view unit) {
  out += "ERROR: ";
  AppendFailure(out, number, message, unit);
}

const FormatInfo& Info(Format format) {
  return *std::find_if(std::begin(kFormats), std::end(kFormats),
                       [format](const FormatInfo& info) { return info.format == format; });
}

void AppendJsonString(std::string& out, std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out += '"';
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8Length(text, pos);
    const char c = text[pos];
    if (length == 0) {
      out += kReplacement;
      ++pos;
      continue;
    }
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      out += "\\u00";
      out += kHex[static_cast<unsigned char>(c) >> 4];
      out += kHex[static_cast<unsigned char>(c) & 0xF];
    } else {
      out.append(text, pos, length);
    }
    pos += length;
  }
  out += '"';
}

void AppendUtf8(std::string& out, std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8Length(text, pos);
    if (length == 0) {
      out += kReplacement;
      ++pos;
    } else {
      out.append(text, pos, length);
      pos += length;
    }
  }
}

void AppendXmlText(std::string& out, std::string_view text) {
  AppendXmlCharacters(out, text, true);
}

namespace {

void AppendXmlCharacters(std::string& out, std::string_view text, bool escape) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = Utf8Length(text, pos);
    const char c = text[pos];
    if (length == 0 || !XmlCharacter(text.substr(pos, length))) {
      out += kReplacement;
      pos += std::max<std::size_t>(length, 1);
      continue;
    }
    switch (escape ? c : 0) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out.append(text, pos, length);
    }
    pos += length;
  }
}

}  // namespace

}  // namespace miralto::cli
