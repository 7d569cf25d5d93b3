// The page's view of the tool: the form model, the control table and the batch converter, bound
// to JavaScript. The page keeps no logic of its own beyond showing what these report.
#include <emscripten.h>
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/converter.h"
#include "cli/geojson_input.h"
#include "core/angle_forms.h"
#include "core/comparison.h"
#include "core/digits.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/operations.h"
#include "core/position_code.h"
#include "corrections/correction_file.h"
#include "form/controls.h"
#include "form/form1.h"

using emscripten::val;

namespace miralto::web {
namespace {

// The browser's storage, reached from C++. Both answer a failure (storage disabled, private mode,
// quota) instead of throwing into the C++ code. A text goes with its length, as a correction text
// may hold a NUL character, which must not end it.
// clang-format off
EM_JS(char*, StoredText, (const char* key, std::size_t* size), {
  try {
    const text = localStorage.getItem(UTF8ToString(key));
    if (text === null) return 0;
    const bytes = new TextEncoder().encode(text);
    const copy = _malloc(bytes.length + 1);
    HEAPU8.set(bytes, copy);
    HEAPU32[size >> 2] = bytes.length;
    return copy;
  } catch (e) {
    return 0;
  }
});
EM_JS(int, StoreText, (const char* key, const char* text, std::size_t size), {
  try {
    const bytes = HEAPU8.subarray(text, text + size);
    localStorage.setItem(UTF8ToString(key), new TextDecoder().decode(bytes));
    return 1;
  } catch (e) {
    return 0;
  }
});
// clang-format on

// The key the correction file's text is kept under.
constexpr const char* kStorageKey = "miralto/修正.txt";

// The correction file kept in the browser's storage. Loading and saving go through the same code
// as the desktop's file, over a copy of the text in the module's in-memory file system, so that
// lines, byte-order mark and failures are read exactly as from "修正.txt".
class BrowserCorrectionStore : public form::CorrectionStore {
 public:
  BrowserCorrectionStore() : store_(kFolder) { std::filesystem::create_directories(kFolder); }

  CorrectionLoad Load() override {
    std::error_code ignored;
    std::filesystem::remove(CorrectionFilePath(kFolder), ignored);
    std::size_t size = 0;
    if (char* text = StoredText(kStorageKey, &size)) {
      std::ofstream(CorrectionFilePath(kFolder), std::ios::binary)
          .write(text, static_cast<std::streamsize>(size));
      std::free(text);
    }
    return store_.Load();
  }

  Corrections Save(std::string_view lon_text, std::string_view lat_text) override {
    const Corrections values = store_.Save(lon_text, lat_text);
    std::ifstream file(CorrectionFilePath(kFolder), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    if (!StoreText(kStorageKey, bytes.data(), bytes.size())) {
      throw FileError({MessageId::kCannotWriteCorrections,
                       {Argument::Path(CorrectionFilePath(kFolder).string()),
                        Argument::Term(MessageId::kBrowserKeepsNothing)}});
    }
    saved_ = true;
    return values;
  }

  // Whether corrections were saved since the last call.
  bool TakeSaved() { return std::exchange(saved_, false); }

 private:
  static constexpr const char* kFolder = "/localStorage";
  form::FileCorrectionStore store_;
  bool saved_ = false;
};

// A failure as the page shows it: its kind and the message box text in both languages.
val FailureValue(const form::Failure& failure) {
  val v = val::object();
  v.set("title", std::string(EnglishPattern(failure.title)));
  v.set("en", form::FailureText(failure, form::Language::kEnglish));
  v.set("zh", form::FailureText(failure, form::Language::kChinese));
  return v;
}

// Collects what the model reports during one step, for the page to show in order.
class Reports : public form::FormView {
 public:
  void ShowText(std::string_view control, const std::string& text) override {
    writes_.push_back({std::string(control), text});
  }
  void ShowFailure(const form::Failure& failure) override { failure_ = FailureValue(failure); }

  // {writes: [[control, text]...], failure: null or {title, en, zh}}, and starts over.
  val Take() {
    val writes = val::array();
    for (const auto& [control, text] : writes_) {
      val pair = val::array();
      pair.call<void>("push", control);
      pair.call<void>("push", text);
      writes.call<void>("push", pair);
    }
    val result = val::object();
    result.set("writes", writes);
    result.set("failure", failure_);
    writes_.clear();
    failure_ = val::null();
    return result;
  }

 private:
  std::vector<std::pair<std::string, std::string>> writes_;
  val failure_ = val::null();
};

// The window's model as the page drives it: one per page load.
class Window {
 public:
  Window() : form_(store_, reports_) {}
  val FormLoad() {
    form_.Form_Load();
    return reports_.Take();
  }
  // The step's report, with `saved` telling whether it saved corrections: the batch panel converts
  // with the saved ones from then on, as miralto-cli reads the file anew on every run.
  val Click(const std::string& command) {
    if (const form::ClickHandler click = form::HandlerOf(command)) (form_.*click)();
    val report = reports_.Take();
    report.set("saved", store_.TakeSaved());
    return report;
  }
  void SetText(const std::string& control, const std::string& text) {
    form_.SetText(control, text);
  }
  std::string Text(const std::string& control) const { return form_.Text(control); }
  val Corrections() const {
    val v = val::array();
    v.call<void>("push", form_.corrections().lon);
    v.call<void>("push", form_.corrections().lat);
    return v;
  }

 private:
  BrowserCorrectionStore store_;
  Reports reports_;
  form::Form1 form_;
};

// The control table, in tab order, with each role in both languages.
val Controls() {
  val rows = val::array();
  for (const form::ControlSpec& row : form::kControls) {
    val v = val::object();
    v.set("name", std::string(row.name));
    v.set("kind", row.kind == form::ControlKind::kLabel     ? "label"
                  : row.kind == form::ControlKind::kTextBox ? "text"
                                                            : "button");
    v.set("text", std::string(row.text));
    v.set("left", row.left);
    v.set("top", row.top);
    v.set("width", row.width);
    v.set("height", row.height);
    v.set("role", form::RoleText(row, form::Language::kEnglish));
    v.set("roleZh", form::RoleText(row, form::Language::kChinese));
    rows.call<void>("push", v);
  }
  return rows;
}

// Where the label `name` stands, in pixels at 96 dpi, and how far in its caption starts, when the
// caption is `caption_width` pixels wide: form::FitLabel, as the desktop windows place theirs.
val LabelPlace(const std::string& name, int caption_width) {
  const auto row = form::ControlRow(name);
  if (!row) return val::null();
  const form::LabelFit fit = form::FitLabel(form::kControls[*row], caption_width);
  val v = val::object();
  v.set("left", fit.place.left);
  v.set("top", fit.place.top);
  v.set("width", fit.place.width);
  v.set("height", fit.place.height);
  v.set("inset", fit.inset);
  return v;
}

val ClientSize() {
  val v = val::object();
  v.set("width", form::kClientWidth);
  v.set("height", form::kClientHeight);
  v.set("twipsPerPixel", form::kTwipsPerPixel);
  return v;
}

bool IsChinese(const std::string& tag) { return form::LanguageOf(tag) == form::Language::kChinese; }

// Whether the command reads a LON LAT position, as a GeoJSON point gives it.
bool TakesPoints(const cli::CommandInfo& info) {
  return std::any_of(info.layouts.begin(), info.layouts.end(),
                     [](const cli::Layout& layout) { return layout.notations; });
}

// The batch converter's commands and formats, for the page's choices.
val BatchTables() {
  val commands = val::array();
  for (const cli::CommandInfo& info : cli::Commands()) {
    val v = val::object();
    v.set("name", std::string(info.name));
    v.set("button", std::string(info.button));
    v.set("results", std::string(info.results_label));
    v.set("dd", !info.dd_results.empty());
    v.set("hasPoint", info.has_point);
    v.set("takesPoints", TakesPoints(info));
    val counts = val::array();
    for (const cli::Layout& layout : info.layouts) {
      val l = val::object();
      l.set("count", static_cast<int>(layout.count));
      l.set("label", std::string(layout.label));
      l.set("notationOnly", layout.notation_only);
      counts.call<void>("push", l);
    }
    v.set("layouts", counts);
    commands.call<void>("push", v);
  }
  val formats = val::array();
  for (const cli::FormatInfo& info : cli::Formats()) {
    val v = val::object();
    v.set("name", std::string(info.name));
    v.set("isMap", info.is_map);
    v.set("readable", info.readable);
    formats.call<void>("push", v);
  }
  val tables = val::object();
  tables.set("commands", commands);
  tables.set("formats", formats);
  return tables;
}

// A batch conversion fed block by block; options as the command line's:
// {from, command, dd, csv, lenient, to, columns: [texts], append, header, commentDelimiter,
//  correction: [lon, lat] texts}. Throws a JavaScript error naming a bad option. A GeoJSON input
// (from: "geojson") is not fed: ConvertGeoJson reads it whole.
class Batch {
 public:
  explicit Batch(val options) : converter_(ReadOptions(options)) {}

  // What is wrong with `options`, or the empty text when a Batch can be made of them.
  static std::string Problem(val options) {
    try {
      ReadOptions(options);
      return "";
    } catch (const std::exception& error) {
      return error.what();
    }
  }

  // The output as bytes (a Uint8Array of its own), which need not be UTF-8: a line is copied as
  // it came.
  val Begin() {
    return Guarded([&] {
      std::string out;
      converter_.Begin(out);
      return Bytes(out);
    });
  }
  // A block of `size` bytes written by the caller straight into the module's memory, through the
  // view this returns, and then converted by FeedBlock: embind would copy a Uint8Array argument
  // one byte at a time. The view is valid until the module's memory next grows.
  val Block(std::size_t size) {
    return Guarded([&] {
      block_.resize(size);
      return val(emscripten::typed_memory_view(block_.size(),
                                               reinterpret_cast<unsigned char*>(block_.data())));
    });
  }
  val FeedBlock() {
    return Guarded([&] { return FeedView(block_); });
  }
  val Finish() {
    return Guarded([&] {
      std::string out;
      ok_ = converter_.Finish(out);
      if (!last_ended_) ++lines_;
      return Bytes(out);
    });
  }
  bool ok() const { return ok_; }
  // The command line's options that `o` gives; throws std::invalid_argument naming a bad one.
  static cli::Options Options(val o) { return ReadOptions(o); }
  // The input's lines fed so far; after Finish, a last line without its end counts as well.
  double lines() const { return static_cast<double>(lines_); }

 private:
  // What `step` returns, or a JavaScript Error telling why it failed: a C++ exception would reach
  // the caller as a bare number, with nothing to tell, and a line too long for the module's memory
  // would pass for a conversion without errors.
  template <typename Step>
  static val Guarded(Step&& step) {
    std::string message;
    try {
      return step();
    } catch (const std::bad_alloc&) {
      message = std::string(EnglishPattern(MessageId::kOutOfMemory)) + ": " +
                std::string(EnglishPattern(MessageId::kNeedsMoreMemory));
    } catch (const std::exception& error) {
      message = error.what();
    }
    // Thrown outside the handler, so that the C++ exception is done with first.
    val::global("Error").new_(message).throw_();
  }

  val FeedView(std::string_view block) {
    if (block.empty()) return Bytes({});
    lines_ += std::count(block.begin(), block.end(), '\n');
    last_ended_ = block.back() == '\n';
    out_.clear();
    converter_.Feed(block, out_);
    return Bytes(out_);
  }

  static val Bytes(std::string_view out) {
    return val::global("Uint8Array")
        .new_(emscripten::typed_memory_view(out.size(),
                                            reinterpret_cast<const unsigned char*>(out.data())));
  }

  template <typename Table>
  static const auto& ByName(const Table& table, const std::string& name, const char* what) {
    for (const auto& row : table) {
      if (row.name == name) return row;
    }
    throw std::invalid_argument(std::string("unknown ") + what + ": " + name);
  }

  static cli::Options ReadOptions(val o) {
    cli::Options options;
    const cli::CommandInfo& command =
        ByName(cli::Commands(), o["command"].as<std::string>(), "command");
    options.command = command.command;
    options.dd = o["dd"].as<bool>();
    options.csv = o["csv"].as<bool>();
    options.lenient = o["lenient"].as<bool>();
    options.to = ByName(cli::Formats(), o["to"].as<std::string>(), "format").format;
    options.columns = Columns(emscripten::vecFromJSArray<std::string>(o["columns"]));
    options.append = o["append"].as<bool>();
    options.header = o["header"].as<bool>();
    options.comment_delimiter = o["commentDelimiter"].as<std::string>();
    const val correction = o["correction"];
    options.corrections = {RoundToLong(ParseStrict(correction[0].as<std::string>())),
                           RoundToLong(ParseStrict(correction[1].as<std::string>()))};
    if (options.dd && command.dd_results.empty()) {
      throw std::invalid_argument("--dd goes with decode only");
    }
    if (!command.has_point && cli::Info(options.to).is_map) {
      throw std::invalid_argument(std::string(command.name) + " writes no position");
    }
    if (FromGeoJson(o)) {
      if (!TakesPoints(command)) {
        throw std::invalid_argument("a GeoJSON input goes with the commands that read a position");
      }
      if (options.to != cli::Format::kText && options.to != cli::Format::kGeoJson) {
        throw std::invalid_argument("with a GeoJSON input the output is geojson or text");
      }
      if (options.csv || !options.columns.empty() || options.header || options.append ||
          !options.comment_delimiter.empty()) {
        throw std::invalid_argument(
            "CSV, columns, header, append and a comment delimiter do not go with a GeoJSON input");
      }
    }
    if (!options.columns.empty() &&
        !cli::FindLayout(command, options.columns.size(), options.lenient)) {
      throw std::invalid_argument("the wrong number of columns for " + std::string(command.name));
    }
    return options;
  }

  // The column numbers as the command line reads them: whole decimal numbers, counted from 1. A
  // number of JavaScript would make "2.5" column 2 and a huge number wrap.
  static std::vector<int> Columns(const std::vector<std::string>& texts) {
    std::vector<int> columns;
    for (const std::string& text : texts) {
      int column = 0;
      const char* end = text.data() + text.size();
      const auto [stop, error] = std::from_chars(text.data(), end, column);
      if (error != std::errc() || stop != end) {
        throw std::invalid_argument("\"" + text + "\" is not a column number");
      }
      if (column < 1) throw std::invalid_argument("columns count from 1");
      columns.push_back(column);
    }
    return columns;
  }

  static bool FromGeoJson(val o) {
    const val from = o["from"];
    if (from.isUndefined()) return false;
    return ByName(cli::Formats(), from.as<std::string>(), "input format").format ==
           cli::Format::kGeoJson;
  }

  cli::Converter converter_;
  bool ok_ = true;
  std::string block_;
  std::string out_;  // kept between blocks, so that its memory is not asked for again each time
  long long lines_ = 0;
  bool last_ended_ = true;
};

// A stream over two JavaScript functions: read(view) fills a Uint8Array view of the module's
// memory and returns how many bytes it wrote (0 at the end); write(view) takes the bytes a view
// holds (and must copy them: the view is gone after the call). Neither is called with the
// module's memory growing in between, so a view is valid while it is in JavaScript's hands.
class JsStream {
 public:
  explicit JsStream(val function) : function_(std::move(function)) {}
  // A stdio stream over this; fclose it before this goes.
  std::FILE* Open(const char* mode) {
    const cookie_io_functions_t functions{Read, Write, nullptr, nullptr};
    return fopencookie(this, mode, functions);
  }

 private:
  static ssize_t Read(void* self, char* buffer, std::size_t size) {
    const val view(emscripten::typed_memory_view(size, reinterpret_cast<unsigned char*>(buffer)));
    return static_cast<JsStream*>(self)->function_(view).as<int>();
  }
  static ssize_t Write(void* self, const char* buffer, std::size_t size) {
    const val view(
        emscripten::typed_memory_view(size, reinterpret_cast<const unsigned char*>(buffer)));
    static_cast<JsStream*>(self)->function_(view);
    return static_cast<ssize_t>(size);
  }

  val function_;
};

// Converts a GeoJSON FeatureCollection read through `read` to text or GeoJSON written through
// `write` (functions as JsStream takes them), as `miralto-cli --from geojson` does. Returns
// {ok: false if any feature failed, error: the message of an input that is no collection, or ""}.
val ConvertGeoJson(val options, val read, val write) {
  val result = val::object();
  bool ok = false;
  std::string error;
  JsStream input(std::move(read)), output(std::move(write));
  std::FILE* in = input.Open("r");
  std::FILE* out = output.Open("w");
  try {
    ok = cli::ConvertGeoJson(Batch::Options(options), in, out);
  } catch (const std::exception& e) {
    error = e.what();
  }
  std::fclose(in);
  std::fclose(out);
  result.set("ok", ok);
  result.set("error", error);
  return result;
}

// What an error tells, for the tests of the shared tables: "error:KIND".
std::string ErrorTag(const Error& error) { return "error:" + std::string(KindName(error.kind())); }

// The conversions of the shared test tables (tests/data), each a function of texts giving the
// table's expected texts, so that the browser build is checked against the same rows as the
// others. A failure gives its error tag.
template <typename F>
std::string Outcome(F&& f) {
  try {
    return f();
  } catch (const Error& error) {
    return ErrorTag(error);
  }
}

std::string Joined(std::initializer_list<std::string> parts) {
  std::string out;
  for (const std::string& part : parts) out += (out.empty() ? "" : " ") + part;
  return out;
}

// The expected fields from `first` on, joined as Joined does.
std::string ExpectedFrom(const std::vector<std::string>& f, std::size_t first) {
  std::string out;
  for (std::size_t i = first; i < f.size(); ++i) out += (i == first ? "" : " ") + f[i];
  return out;
}

Corrections CorrectionsAt(const std::vector<std::string>& f, std::size_t first) {
  return {static_cast<Long>(std::stol(f.at(first))), static_cast<Long>(std::stol(f.at(first + 1)))};
}

std::string NumberRow(const std::string& function, const std::string& input) {
  if (function == "ParseLenient") return ShortestText(ParseLenient(input));
  if (function == "ParseStrict") return ShortestText(ParseStrict(input));
  // The inputs of the other rows are numbers written in the table.
  const double value = ParseStrict(input);
  if (function == "RoundToLong") return LongText(RoundToLong(value));
  if (function == "TruncateToLong") return LongText(TruncateToLong(value));
  if (function == "SingleText") return SingleText(static_cast<Single>(value));
  if (function == "DoubleText") return DoubleText(value);
  return "unknown function " + function;
}

std::string Dms(const DmsTexts& t) { return Joined({t.degrees, t.minutes, t.seconds}); }

// One row of a table under tests/data: {got, expected}, as the native tests compare them.
val VectorRow(const std::string& table, val fields) {
  const std::vector<std::string> f = emscripten::vecFromJSArray<std::string>(fields);
  std::string got, expected;
  if (table == "numbers.csv") {
    got = Outcome([&] { return NumberRow(f.at(0), f.at(1)); });
    expected = f.at(0).rfind("Parse", 0) == 0 && f.at(2).rfind("error:", 0) != 0
                   ? ShortestText(ParseStrict(f.at(2)))
                   : f.at(2);
  } else if (table == "decimal_to_dms.csv") {
    // An error row may name a part of the message in the field after the kind.
    try {
      got = Dms(DecimalToDms(f.at(0)));
    } catch (const Error& error) {
      got = ErrorTag(error);
      if (f.size() > 2) {
        const std::string message = error.Message();
        got += " " + (message.find(f[2]) != std::string::npos ? f[2] : message);
      }
    }
    expected = ExpectedFrom(f, 1);
  } else if (table == "dms_to_decimal.csv") {
    got = Outcome([&] { return DmsToDecimal({f.at(0), f.at(1), f.at(2)}, "longitude"); });
    expected = f.at(3);
  } else if (table == "encode.csv") {
    got = Outcome([&] {
      return EncodePosition({{f.at(0), f.at(1), f.at(2)}, {f.at(3), f.at(4), f.at(5)}},
                            CorrectionsAt(f, 6));
    });
    expected = f.at(8);
  } else if (table == "decode.csv") {
    got = Outcome([&] {
      const PositionTexts p = DecodePosition(f.at(0), CorrectionsAt(f, 1));
      return Joined({Dms(p.lon), Dms(p.lat)});
    });
    expected = ExpectedFrom(f, 3);
  } else if (table == "compare.csv") {
    got = Outcome([&] {
      const CodeDifference d = CompareCodes(f.at(0), f.at(1));
      return Joined({d.lat, d.lon});
    });
    expected = ExpectedFrom(f, 2);
  } else if (table == "digits.csv" && f.at(0) == "NumberToDigits") {
    got = Outcome([&] { return NumberToDigits(std::stoi(f.at(1)), std::stoi(f.at(2))); });
    expected = f.at(3);
  } else if (table == "digits.csv" && f.at(0) == "DigitsToNumber") {
    got = Outcome([&] { return DigitsToNumber(f.at(1)); });
    expected = f.at(2);
  } else {
    got = "no rule for a row of " + table;
  }
  val result = val::object();
  result.set("got", got);
  result.set("expected", expected);
  return result;
}

}  // namespace
}  // namespace miralto::web

EMSCRIPTEN_BINDINGS(miralto) {
  using namespace emscripten;
  using namespace miralto::web;
  class_<Window>("Window")
      .constructor<>()
      .function("formLoad", &Window::FormLoad)
      .function("click", &Window::Click)
      .function("setText", &Window::SetText)
      .function("text", &Window::Text)
      .function("corrections", &Window::Corrections);
  class_<Batch>("Batch")
      .constructor<val>()
      .function("begin", &Batch::Begin)
      .function("block", &Batch::Block)
      .function("feedBlock", &Batch::FeedBlock)
      .function("lines", &Batch::lines)
      .function("finish", &Batch::Finish)
      .function("ok", &Batch::ok);
  function("batchProblem", &Batch::Problem);
  function("convertGeoJson", &ConvertGeoJson);
  function("controls", &Controls);
  function("clientSize", &ClientSize);
  function("labelPlace", &LabelPlace);
  function("isChinese", &IsChinese);
  function("batchTables", &BatchTables);
  function("vectorRow", &VectorRow);
}
