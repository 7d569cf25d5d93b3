// The Python module: the window's operations on scalars, and element-wise on numpy arrays with
// the loop in C++ and the interpreter lock released while it runs.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "core/batch.h"
#include "core/errors.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "miralto_version.h"

namespace py = pybind11;
using namespace pybind11::literals;

namespace miralto::python {
namespace {

using batch::ElementOperation;
using batch::ElementState;
using batch::Field;
using batch::FieldKind;
using batch::ResultKind;
using batch::Results;

// An input flattened to one dimension. Numeric arrays are read in place; texts and Python
// objects are copied out while the interpreter lock is held, so the loop runs without it. Every
// array is read through pointers to its items, so an array that is not aligned for them (one
// made over a buffer at an odd offset) is copied first.
class Column {
  static constexpr int kReadable = static_cast<int>(py::array::c_style) |
                                   static_cast<int>(py::detail::npy_api::NPY_ARRAY_ALIGNED_);
  using Numbers = py::array_t<double, kReadable | py::array::forcecast>;

 public:
  explicit Column(const py::array& flat) {
    const char kind = flat.dtype().kind();
    size_ = static_cast<std::size_t>(flat.size());
    if (kind == 'f' || kind == 'i' || kind == 'u' || kind == 'b') {
      numbers_ = Numbers::ensure(flat);
      numeric_ = true;
      return;
    }
    kinds_.resize(size_, FieldKind::kText);
    texts_.resize(size_);
    values_.resize(size_);
    if (kind == 'U') {
      // Characters are read as this machine's char32_t: texts in the other byte order (an array
      // read from a file written elsewhere) are turned first.
      const py::object native = flat.dtype().attr("newbyteorder")("=");
      const auto contiguous =
          py::array::ensure(flat.attr("astype")(native, "copy"_a = false), kReadable);
      const auto width = static_cast<std::size_t>(contiguous.itemsize()) / sizeof(char32_t);
      const auto* data = static_cast<const char32_t*>(contiguous.data());
      for (std::size_t i = 0; i < size_; ++i) texts_[i] = Utf8(data + i * width, width);
    } else if (kind == 'S') {
      const auto contiguous = py::array::ensure(flat, py::array::c_style);
      const auto width = static_cast<std::size_t>(contiguous.itemsize());
      const auto* data = static_cast<const char*>(contiguous.data());
      for (std::size_t i = 0; i < size_; ++i) {
        std::string_view item(data + i * width, width);
        // numpy pads with NULs; a NUL inside the text stays, and is refused as in a scalar.
        while (!item.empty() && item.back() == '\0') item.remove_suffix(1);
        texts_[i] = item;
      }
    } else if (kind == 'O') {
      const auto contiguous = py::array::ensure(flat, kReadable);
      const auto* objects = static_cast<PyObject* const*>(contiguous.data());
      for (std::size_t i = 0; i < size_; ++i) Read(objects[i], kinds_[i], values_[i], texts_[i]);
    } else {
      throw py::type_error("expected numbers or texts, not an array of dtype " +
                           std::string(py::str(flat.dtype())));
    }
  }

  Field operator[](std::size_t i) const {
    if (numeric_) {
      const double value = numbers_.data()[i];
      return std::isnan(value) ? Field{} : Field{FieldKind::kNumber, value, {}};
    }
    return {kinds_[i], values_[i], texts_[i]};
  }

  // One Python object as an element: None, NaN and pandas' pd.NA are missing, numbers are
  // numbers, str and bytes are texts. Whole numbers become their decimal text, which reads back
  // exactly however large they are.
  static void Read(const py::handle& object, FieldKind& kind, double& value, std::string& text) {
    if (object.is_none() || IsPandasMissing(object)) {
      kind = FieldKind::kMissing;
    } else if (py::isinstance<py::str>(object)) {
      kind = FieldKind::kText;
      // A lone surrogate keeps its code as bytes, which no operation accepts: the operation's
      // own error tells of it, as of any other text it cannot read.
      const py::bytes bytes = py::reinterpret_steal<py::bytes>(
          PyUnicode_AsEncodedString(object.ptr(), "utf-8", "surrogatepass"));
      if (!bytes) throw py::error_already_set();
      text = bytes.cast<std::string>();
    } else if (py::isinstance<py::bytes>(object)) {
      kind = FieldKind::kText;
      text = object.cast<std::string>();
    } else if (py::isinstance<py::bool_>(object)) {
      kind = FieldKind::kNumber;
      value = object.cast<bool>() ? 1 : 0;
    } else if (PyLong_Check(object.ptr()) || PyObject_HasAttrString(object.ptr(), "__index__")) {
      kind = FieldKind::kText;
      text = py::str(py::int_(py::reinterpret_borrow<py::object>(object)));
    } else if (PyFloat_Check(object.ptr()) || PyObject_HasAttrString(object.ptr(), "__float__")) {
      value = py::float_(py::reinterpret_borrow<py::object>(object));
      kind = std::isnan(value) ? FieldKind::kMissing : FieldKind::kNumber;
    } else {
      throw py::type_error("expected a number or a text, not " +
                           std::string(py::str(py::type::of(object).attr("__name__"))));
    }
  }

 private:
  // pd.NA, the missing value of pandas' nullable columns (Float64, Int64, string), which takes no
  // float(). Looked up without importing pandas: where it is not loaded, no such value exists.
  static bool IsPandasMissing(const py::handle& object) {
    static PyObject* missing = nullptr;  // kept: pandas stays loaded once it is
    if (missing == nullptr) {
      // Only an object of none of Python's own kinds can be it; those are told apart at once.
      if (PyFloat_Check(object.ptr()) || PyLong_Check(object.ptr()) ||
          PyUnicode_Check(object.ptr()) || PyBytes_Check(object.ptr())) {
        return false;
      }
      PyObject* modules = PyImport_GetModuleDict();                // borrowed
      PyObject* pandas = PyDict_GetItemString(modules, "pandas");  // borrowed
      if (pandas == nullptr) return false;
      missing = PyObject_GetAttrString(pandas, "NA");
      if (missing == nullptr) {  // pandas part-way through its import
        PyErr_Clear();
        return false;
      }
    }
    return object.ptr() == missing;
  }

  static std::string Utf8(const char32_t* data, std::size_t width) {
    while (width > 0 && data[width - 1] == 0) --width;  // numpy pads texts with NULs
    std::string out;
    out.reserve(width);
    for (std::size_t i = 0; i < width; ++i) AppendCharacter(out, data[i]);
    return out;
  }

  std::size_t size_ = 0;
  bool numeric_ = false;
  Numbers numbers_;
  std::vector<FieldKind> kinds_;
  std::vector<double> values_;
  std::vector<std::string> texts_;
};

// The Python error a caller would catch for each kind without knowing this module, in the order
// of the core's table of kinds; each kind's class derives from it and takes the table's name.
constexpr std::pair<ErrorKind, const char*> kHostErrors[] = {
    {ErrorKind::kConversion, "ValueError"}, {ErrorKind::kOverflow, "OverflowError"},
    {ErrorKind::kFile, "OSError"},          {ErrorKind::kEndOfFile, "EOFError"},
    {ErrorKind::kOutOfReach, "ValueError"}, {ErrorKind::kInvalidCode, "ValueError"},
};

static_assert(MapsEveryErrorKind(kHostErrors),
              "every kind of the core's table needs its Python error here and in miralto.pyi");

// The Python error classes, one per kind, in the order of the core's table.
struct ErrorClasses {
  py::object base;
  std::array<std::pair<ErrorKind, py::object>, kErrorKindCount> by_kind;
};

ErrorClasses& Classes() {
  static ErrorClasses* classes = new ErrorClasses();  // lives as long as the interpreter
  return *classes;
}

[[noreturn]] void Raise(const Error& error, const py::object& index) {
  py::object cls = Classes().base;
  for (const auto& [kind, c] : Classes().by_kind) {
    if (kind == error.kind()) cls = c;
  }
  // A message quotes the input, which may hold bytes that are not UTF-8: they show escaped.
  auto python_text = [](const std::string& text) {
    return py::reinterpret_steal<py::str>(PyUnicode_DecodeUTF8(
        text.data(), static_cast<Py_ssize_t>(text.size()), "backslashreplace"));
  };
  const py::str message = python_text(error.Message());
  py::str text = message;
  if (!index.is_none()) text = py::str("element {}: {}").format(index, message);
  py::object instance = cls(text);
  instance.attr("kind") = std::string(KindName(error.kind()));
  instance.attr("message") = message;
  instance.attr("index") = index;
  PyErr_SetObject(cls.ptr(), instance.ptr());
  throw py::error_already_set();
}

// Two corrections, each a number or a text, read as the window reads its correction fields (as
// the SQLite extension and miralto-cli read them): (1.9, 2.7) is (2, 3), ("-193", "106") is
// (-193, 106). Anything but a pair of numbers or texts, a text ("12") included, is a TypeError.
Corrections ReadCorrections(const py::object& corrections) {
  auto refuse = [&corrections] {
    return py::type_error(
        "corrections must be a pair (longitude, latitude) of numbers or texts, not " +
        py::repr(corrections).cast<std::string>());
  };
  if (py::isinstance<py::str>(corrections) || py::isinstance<py::bytes>(corrections) ||
      !PySequence_Check(corrections.ptr()) || PySequence_Size(corrections.ptr()) != 2) {
    PyErr_Clear();
    throw refuse();
  }
  const py::sequence pair = py::reinterpret_borrow<py::sequence>(corrections);
  Long values[2];
  for (std::size_t i = 0; i < 2; ++i) {
    py::object item = pair[i];
    if (py::hasattr(item, "item") && !py::isinstance<py::str>(item)) item = item.attr("item")();
    Field field;
    std::string text;
    try {
      Column::Read(item, field.kind, field.number, text);
    } catch (const py::type_error&) {
      throw refuse();
    }
    if (field.kind == FieldKind::kMissing) throw refuse();
    field.text = text;
    try {
      values[i] = batch::CorrectionOf(field);
    } catch (const Error& error) {
      Raise(error, py::none());
    }
  }
  return {values[0], values[1]};
}

enum class Errors { kRaise, kCoerce };

Errors ReadErrors(const std::string& errors) {
  if (errors == "raise") return Errors::kRaise;
  if (errors == "coerce") return Errors::kCoerce;
  throw py::value_error("errors must be \"raise\" or \"coerce\", not \"" + errors + "\"");
}

py::object Scalar(const Results& r, std::size_t i, ResultKind kind, bool missing, bool failed) {
  if (missing) return py::none();
  if (kind == ResultKind::kText) return py::str(failed ? std::string() : r.texts[i]);
  if (failed) return py::float_(std::numeric_limits<double>::quiet_NaN());
  if (kind == ResultKind::kInteger) return py::int_(static_cast<long long>(r.numbers[i]));
  return py::float_(r.numbers[i]);
}

py::object Pack(std::vector<py::object> values) {
  if (values.size() == 1) return values[0];
  py::tuple tuple(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) tuple[i] = values[i];
  return tuple;
}

// The columns of a batch, read while the interpreter lock is held.
class ColumnInputs : public batch::Inputs {
 public:
  explicit ColumnInputs(const std::vector<Column>& columns) : columns_(columns) {}
  Field At(std::size_t column, std::size_t i) const override { return columns_[column][i]; }

 private:
  const std::vector<Column>& columns_;
};

// Each output as a column of its own, filled while the interpreter lock is released.
class ColumnOutputs : public batch::Outputs {
 public:
  ColumnOutputs(const ElementOperation& op, std::size_t n)
      : texts_(op.kind == ResultKind::kText ? op.outputs : 0),
        numbers_(op.kind == ResultKind::kText ? 0 : op.outputs) {
    for (auto& column : texts_) column.resize(n);
    for (auto& column : numbers_) column.assign(n, std::numeric_limits<double>::quiet_NaN());
  }
  void Put(std::size_t i, Results& r) override {
    for (std::size_t k = 0; k < texts_.size(); ++k) texts_[k][i] = std::move(r.texts[k]);
    for (std::size_t k = 0; k < numbers_.size(); ++k) numbers_[k][i] = r.numbers[k];
  }
  const std::vector<std::vector<std::string>>& texts() const { return texts_; }
  const std::vector<std::vector<double>>& numbers() const { return numbers_; }

 private:
  std::vector<std::vector<std::string>> texts_;
  std::vector<std::vector<double>> numbers_;
};

// A float, int, text or None of Python's own: a scalar, told apart without asking numpy, which
// would cost more than the conversion itself.
bool PlainScalar(const py::object& o) {
  return PyFloat_CheckExact(o.ptr()) || PyLong_CheckExact(o.ptr()) ||
         PyUnicode_CheckExact(o.ptr()) || PyBytes_CheckExact(o.ptr()) || o.is_none();
}

// The inputs as numpy arrays. A sequence mixing str and bytes, or bytes that are not ASCII, numpy
// cannot make texts of: it stays a sequence of objects, each read as the scalar would be.
py::object AsArray(const py::module_& np, const py::object& input) {
  try {
    return np.attr("asarray")(input);
  } catch (py::error_already_set& error) {
    if (!error.matches(PyExc_UnicodeError)) throw;
    return np.attr("asarray")(input, "dtype"_a = "object");
  }
}

// Whether every input is a scalar to numpy: a text, or what makes a 0-dimensional array.
bool ScalarsToNumpy(const py::module_& np, const std::vector<py::object>& inputs) {
  bool scalar = true;
  for (const py::object& input : inputs) {
    scalar = scalar && (py::isinstance<py::str>(input) || py::isinstance<py::bytes>(input) ||
                        np.attr("ndim")(AsArray(np, input)).template cast<int>() == 0);
  }
  return scalar;
}

// `op` once, on scalars.
py::object ApplyToScalars(const std::vector<py::object>& inputs, const ElementOperation& op,
                          Corrections c, Errors errors, bool return_mask) {
  std::vector<std::string> texts(inputs.size());
  std::vector<Field> fields(inputs.size());
  bool missing = false;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    py::object item = inputs[i];
    if (!PlainScalar(item) && py::hasattr(item, "item") && !py::isinstance<py::str>(item)) {
      item = item.attr("item")();
    }
    Column::Read(item, fields[i].kind, fields[i].number, texts[i]);
    fields[i].text = texts[i];
    missing = missing || fields[i].kind == FieldKind::kMissing;
  }
  Results r;
  bool failed = false;
  if (!missing) {
    try {
      op.run(fields.data(), c, r);
    } catch (const Error& error) {
      if (errors == Errors::kRaise) Raise(error, py::none());
      failed = true;
    }
  }
  std::vector<py::object> values;
  for (std::size_t i = 0; i < op.outputs; ++i) {
    values.push_back(Scalar(r, i, op.kind, missing, failed));
  }
  py::object result = Pack(std::move(values));
  return return_mask ? py::make_tuple(result, py::bool_(failed)) : result;
}

// The inputs broadcast to one shape and flattened, every element read before the loop.
struct Broadcast {
  py::tuple shape;
  std::vector<Column> columns;
  std::size_t n = 0;
};

Broadcast BroadcastInputs(const py::module_& np, const std::vector<py::object>& inputs) {
  py::list arrays;
  for (const py::object& input : inputs) arrays.append(AsArray(np, input));
  const py::tuple broadcast = np.attr("broadcast_arrays")(*arrays);
  Broadcast b;
  b.shape = broadcast[0].attr("shape");
  for (const py::handle array : broadcast) {
    b.columns.emplace_back(np.attr("ravel")(array).cast<py::array>());
  }
  b.n = b.columns.empty() ? 0 : py::len(np.attr("ravel")(broadcast[0]));
  return b;
}

// A column of result texts as a numpy array of fixed-width texts.
py::array TextArray(const std::vector<std::string>& column, std::size_t n) {
  std::size_t width = 1;
  for (const std::string& text : column) width = std::max(width, text.size());
  py::array out(py::dtype("<U" + std::to_string(width)),
                std::vector<py::ssize_t>{static_cast<py::ssize_t>(n)});
  auto* data = static_cast<char32_t*>(out.mutable_data());
  std::fill(data, data + n * width, char32_t{0});
  for (std::size_t i = 0; i < n; ++i) {
    // Result texts are ASCII: digits, signs, periods, exponents and code digits.
    for (std::size_t c = 0; c < column[i].size(); ++c) data[i * width + c] = column[i][c];
  }
  return out;
}

// The results in the inputs' shape, and the mask of the failed elements if asked for.
py::object ArrayResults(const ColumnOutputs& outputs, std::span<const ElementState> states,
                        const Broadcast& b, bool return_mask) {
  std::vector<py::object> results;
  for (const auto& column : outputs.texts()) {
    results.push_back(TextArray(column, b.n).attr("reshape")(b.shape));
  }
  for (const auto& column : outputs.numbers()) {
    py::array_t<double> out(static_cast<py::ssize_t>(b.n));
    std::copy(column.begin(), column.end(), out.mutable_data());
    results.push_back(out.attr("reshape")(b.shape));
  }
  py::object result = Pack(std::move(results));
  if (!return_mask) return result;
  py::array_t<bool> mask(static_cast<py::ssize_t>(b.n));
  bool* m = mask.mutable_data();
  for (std::size_t i = 0; i < b.n; ++i) m[i] = states[i].status == batch::ElementStatus::kFailed;
  return py::make_tuple(result, mask.attr("reshape")(b.shape));
}

// `op` element-wise over the inputs' numpy broadcast, the interpreter lock released.
py::object ApplyToArrays(const py::module_& np, const std::vector<py::object>& inputs,
                         const ElementOperation& op, Corrections c, Errors errors,
                         bool return_mask) {
  const Broadcast b = BroadcastInputs(np, inputs);
  ColumnOutputs outputs(op, b.n);
  std::vector<ElementState> states(b.n);
  std::optional<batch::ElementFailure> failure;
  {
    py::gil_scoped_release release;
    failure = batch::Run(op, ColumnInputs(b.columns), c, errors == Errors::kRaise, states, outputs);
  }
  if (failure && errors == Errors::kRaise) {
    py::object index = np.attr("unravel_index")(failure->index, b.shape);
    if (py::len(b.shape) == 1) index = py::int_(failure->index);
    Raise(failure->error, index);
  }
  return ArrayResults(outputs, states, b, return_mask);
}

// Runs `op` over the inputs: once for scalars, element-wise over their numpy broadcast for
// arrays and sequences. Plain Python scalars are told apart without importing numpy.
py::object Apply(const std::vector<py::object>& inputs, const ElementOperation& op, Corrections c,
                 const std::string& errors_name, bool return_mask) {
  const Errors errors = ReadErrors(errors_name);
  if (std::all_of(inputs.begin(), inputs.end(), PlainScalar)) {
    return ApplyToScalars(inputs, op, c, errors, return_mask);
  }
  const py::module_ np = py::module_::import("numpy");
  if (ScalarsToNumpy(np, inputs)) return ApplyToScalars(inputs, op, c, errors, return_mask);
  return ApplyToArrays(np, inputs, op, c, errors, return_mask);
}

// Defaults and keywords shared by every function.
constexpr const char* kErrorsDoc = R"(
errors : {"raise", "coerce"}
    "raise" (the default): the first failure raises a miralto.Error subclass; for arrays its
    message and its ``index`` attribute name the element. "coerce": a failed element gives the
    empty text or NaN.
return_mask : bool
    Also return a boolean mask (a bool for scalars) that is True where an element failed.
    Missing inputs (None, NaN, pandas' NA) give missing results and are not failures.
)";

py::object DefaultCorrections() { return py::make_tuple(0, 0); }

// The function's own text with the keywords every function shares put before its "Returns".
std::string Doc(const char* text) {
  std::string doc(text);
  const std::size_t returns = doc.find("\nReturns");
  doc.insert(returns == std::string::npos ? doc.size() : returns, kErrorsDoc);
  return doc;
}

// The module's functions, one row each: the Python name, the operation of the batch table it runs,
// and its arguments. A function whose operation takes the corrections takes them after its own
// arguments.
struct Function {
  const char* name;
  std::string_view operation;
  const char* dd_operation;  // non-null: a `dd` flag after the corrections runs this one instead
  std::vector<const char*> arguments;
  const char* doc;
};

const ElementOperation& Operation(std::string_view name) {
  const ElementOperation* op = batch::FindElementOperation(name);
  if (op == nullptr) throw std::logic_error("no operation " + std::string(name));
  return *op;
}

template <std::size_t>
using Object = py::object;

// Defines `f` with N input arguments.
template <std::size_t... I>
void Define(py::module_& m, const Function& f, std::index_sequence<I...>) {
  const ElementOperation& op = Operation(f.operation);
  const std::string doc = Doc(f.doc);
  if (f.dd_operation != nullptr) {
    const ElementOperation& dd_op = Operation(f.dd_operation);
    m.def(
        f.name,
        [&op, &dd_op](Object<I>... in, py::object corrections, bool dd, const std::string& errors,
                      bool return_mask) {
          return Apply({in...}, dd ? dd_op : op, ReadCorrections(corrections), errors, return_mask);
        },
        py::arg(f.arguments[I])..., "corrections"_a = DefaultCorrections(), "dd"_a = false,
        py::kw_only(), "errors"_a = "raise", "return_mask"_a = false, doc.c_str());
  } else if (op.corrected) {
    m.def(
        f.name,
        [&op](Object<I>... in, py::object corrections, const std::string& errors,
              bool return_mask) {
          return Apply({in...}, op, ReadCorrections(corrections), errors, return_mask);
        },
        py::arg(f.arguments[I])..., "corrections"_a = DefaultCorrections(), py::kw_only(),
        "errors"_a = "raise", "return_mask"_a = false, doc.c_str());
  } else {
    m.def(
        f.name,
        [&op](Object<I>... in, const std::string& errors, bool return_mask) {
          return Apply({in...}, op, {}, errors, return_mask);
        },
        py::arg(f.arguments[I])..., py::kw_only(), "errors"_a = "raise", "return_mask"_a = false,
        doc.c_str());
  }
}

void Define(py::module_& m, const Function& f) {
  if (f.arguments.size() != Operation(f.operation).inputs) {
    throw std::logic_error(std::string(f.name) + ": wrong number of arguments");
  }
  switch (f.arguments.size()) {
    case 1:
      return Define(m, f, std::make_index_sequence<1>());
    case 2:
      return Define(m, f, std::make_index_sequence<2>());
    case 3:
      return Define(m, f, std::make_index_sequence<3>());
    case 6:
      return Define(m, f, std::make_index_sequence<6>());
    default:
      throw std::logic_error(std::string(f.name) + ": no arity " +
                             std::to_string(f.arguments.size()));
  }
}

const Function kFunctions[] = {
    {"encode",
     "encode",
     nullptr,
     {"lon", "lat"},
     R"(The position code of a position in decimal degrees: the window's "↑" then "→".

lon, lat : float, str or array-like
    Longitude east and latitude north in decimal degrees.
corrections : (number or str, number or str)
    Longitude and latitude corrections in tenths of arc-second, taken off before encoding.

Returns the nine-character code (str), or an array of them.

>>> miralto.encode(113.288959, 23.236255)
'8i4k7zwpg'
>>> miralto.encode([113.288959, 1.0], [23.236255, 2.0], errors="coerce")
array(['8i4k7zwpg', ''], dtype='<U9')
)"},
    {"encode_dms",
     "encode_dms",
     nullptr,
     {"d", "m", "s", "d2", "m2", "s2"},
     R"(The position code of six degree, minute, second fields: the window's "→".

d, m, s : float, str or array-like
    Longitude degrees, minutes and seconds (each keeps its own sign; not range-checked).
d2, m2, s2 : float, str or array-like
    The same for the latitude.
corrections : (number or str, number or str)
    Longitude and latitude corrections in tenths of arc-second.

Returns the code (str), or an array of them.

>>> miralto.encode_dms(113, 17, 39.5, 23, 13, 59.9)
'87ak7vtpg'
)"},
    {"decode",
     "decode",
     "decode_dd",
     {"code"},
     R"(The position a code names: the window's "←" (and "↓" with dd=True).

code : str or array-like
    Nine-character position codes.
corrections : (number or str, number or str)
    Longitude and latitude corrections in tenths of arc-second, added back.
dd : bool
    False: six texts (lon degrees, minutes, seconds, lat degrees, minutes, seconds).
    True: longitude and latitude in decimal degrees as floats, exactly the numbers the window
    shows.

Returns a tuple of six str or two floats, or a tuple of arrays.

>>> miralto.decode("87ak7vtpg")
('113', '17', '39.5', '23', '13', '59.9')
>>> miralto.decode("8i4k7zwpg", corrections=(-193, 106), dd=True)
(113.283583333333, 23.2391944444444)
)"},
    {"encode_notation",
     "encode_notation",
     nullptr,
     {"first", "second"},
     R"(The position code of a position as people write it, as miralto-cli reads it.

first, second : str or array-like
    Each a decimal number or a degree/minute/second notation ("113°17′20.24″",
    "113d17m20.24s", "113:17.3373"), with an optional hemisphere letter before or after
    ("23.236255N", "E113.288959"; S and W negate). The first is the longitude unless the
    letters say otherwise. A decimal number goes through "↑"; DMS parts go in as written.
corrections : (number or str, number or str)
    Longitude and latitude corrections in tenths of arc-second.

Returns the code (str), or an array of them.

>>> miralto.encode_notation("23°13′59.9″N", "E113°17′39.5″")
'87ak7vtpg'
)"},
    {"notation_to_dd",
     "notation_to_dd",
     nullptr,
     {"first", "second"},
     R"(A position as people write it (see encode_notation) in decimal degrees.

first, second : str or array-like
    The two fields, in either order when hemisphere letters say which is which.

Returns (lon, lat) as floats, exactly the numbers "↓" shows, or a tuple of two arrays.

>>> miralto.notation_to_dd("23°30′S", "113.5E")
(113.5, -23.5)
)"},
    {"compare",
     "compare",
     nullptr,
     {"code", "ref"},
     R"(Code minus reference in tenths of arc-second: the window's "计算差值".

The zone digits take no part. These are the corrections that make the reference's place encode
to the code.

code, ref : str or array-like
    Position codes (nine characters, or eight without the zone).

Returns (lon_difference, lat_difference) as ints, or as float arrays (NaN where coerced).

>>> miralto.compare("8i4k7zwpg", "87ak7vtpg")
(-193, 106)
)"},
    {"to_dms",
     "to_dms",
     nullptr,
     {"value"},
     R"(Decimal degrees to degrees, minutes and seconds in single precision: the window's "↑".

value : float, str or array-like
    Decimal degrees; a text is read as the window reads it (blanks dropped, the longest leading
    number, 0 without one).

Returns (degrees, minutes, seconds) as str, or a tuple of three arrays.

>>> miralto.to_dms(113.288959)
('113', '17', '20.24048')
)"},
    {"to_dd",
     "to_dd",
     nullptr,
     {"d", "m", "s"},
     R"(Degrees, minutes and seconds to decimal degrees: the window's "↓".

d, m, s : float, str or array-like
    Degrees, minutes and seconds; each keeps its own sign.

Returns the decimal degrees as a float (exactly the number the window shows), or an array.

>>> miralto.to_dd(113, 17, 20.24048)
113.288955688889
)"},
};

// Scalar calls whose arguments are all floats, ints or texts, with at most a tuple of corrections
// and no other keyword, as a Python loop makes them, skip pybind11's argument conversion: the
// operation runs on the arguments as they are. Anything else (other keywords, numpy values, None or
// NaN, a failure to raise) goes to the general function, which gives the same results and raises
// the same errors.
struct Shortcut {
  const ElementOperation* op = nullptr;
  PyObject* general = nullptr;  // the pybind11 function; lives as long as the interpreter
  std::string doc;
  PyMethodDef def{};
};

std::array<Shortcut, std::size(kFunctions)>& Shortcuts() {
  static auto* shortcuts = new std::array<Shortcut, std::size(kFunctions)>();
  return *shortcuts;
}

// One plain argument as the general function reads it: a float that is a number, a text that is
// UTF-8, or an int as its decimal text (in `digits`). False for anything else.
bool PlainField(PyObject* object, Field& field, std::array<char, 24>& digits) {
  if (PyFloat_CheckExact(object)) {
    const double value = PyFloat_AS_DOUBLE(object);
    field = {FieldKind::kNumber, value, {}};
    return !std::isnan(value);
  }
  if (PyUnicode_CheckExact(object)) {
    Py_ssize_t size = 0;
    const char* text = PyUnicode_AsUTF8AndSize(object, &size);  // fails on a lone surrogate
    if (text == nullptr) {
      PyErr_Clear();
      return false;
    }
    field = {FieldKind::kText, 0, {text, static_cast<std::size_t>(size)}};
    return true;
  }
  if (PyLong_CheckExact(object)) {
    int overflow = 0;
    const long long value = PyLong_AsLongLongAndOverflow(object, &overflow);
    if (overflow != 0 || (value == -1 && PyErr_Occurred() != nullptr)) {
      PyErr_Clear();
      return false;
    }
    const char* end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    field = {FieldKind::kText, 0, {digits.data(), static_cast<std::size_t>(end - digits.data())}};
    return true;
  }
  return false;
}

// The results of one element as Scalar and Pack make them.
PyObject* ResultObjects(const Results& r, const ElementOperation& op) {
  auto one = [&](std::size_t i) -> PyObject* {
    if (op.kind == ResultKind::kText) {
      return PyUnicode_FromStringAndSize(r.texts[i].data(),
                                         static_cast<Py_ssize_t>(r.texts[i].size()));
    }
    if (op.kind == ResultKind::kInteger) {
      return PyLong_FromLongLong(static_cast<long long>(r.numbers[i]));
    }
    return PyFloat_FromDouble(r.numbers[i]);
  };
  if (op.outputs == 1) return one(0);
  PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(op.outputs));
  if (tuple == nullptr) return nullptr;
  for (std::size_t i = 0; i < op.outputs; ++i) {
    PyObject* item = one(i);
    if (item == nullptr) {
      Py_DECREF(tuple);
      return nullptr;
    }
    PyTuple_SET_ITEM(tuple, static_cast<Py_ssize_t>(i), item);
  }
  return tuple;
}

// Corrections given as a tuple of two plain numbers or texts, read as ReadCorrections reads them.
// False for anything else, and for a correction out of range, which the general function raises.
bool PlainCorrections(PyObject* pair, Corrections& c) {
  if (!PyTuple_CheckExact(pair) || PyTuple_GET_SIZE(pair) != 2) return false;
  Long values[2];
  for (Py_ssize_t i = 0; i < 2; ++i) {
    Field field;
    std::array<char, 24> digits;
    if (!PlainField(PyTuple_GET_ITEM(pair, i), field, digits)) return false;
    try {
      values[i] = batch::CorrectionOf(field);
    } catch (...) {
      return false;
    }
  }
  c = {values[0], values[1]};
  return true;
}

template <std::size_t F>
PyObject* ShortcutCall(PyObject* /*module*/, PyObject* const* args, Py_ssize_t nargsf,
                       PyObject* kwnames) {
  const Shortcut& s = Shortcuts()[F];
  const auto n = static_cast<std::size_t>(PyVectorcall_NARGS(nargsf));
  const Py_ssize_t keywords = kwnames == nullptr ? 0 : PyTuple_GET_SIZE(kwnames);
  const std::size_t inputs = s.op->inputs;
  // The corrections, if given: after the inputs, or as the one keyword.
  const bool corrected =
      s.op->corrected &&
      ((keywords == 0 && n == inputs + 1) ||
       (keywords == 1 && n == inputs &&
        PyUnicode_CompareWithASCIIString(PyTuple_GET_ITEM(kwnames, 0), "corrections") == 0));
  Corrections c{0, 0};
  bool plain = (corrected || (keywords == 0 && n == inputs)) &&
               (!corrected || PlainCorrections(args[inputs], c));
  if (plain) {
    std::array<Field, batch::kMaxResults> fields;
    std::array<std::array<char, 24>, batch::kMaxResults> digits;
    for (std::size_t i = 0; plain && i < inputs; ++i) {
      plain = PlainField(args[i], fields[i], digits[i]);
    }
    if (plain) {
      Results r;
      bool done = false;
      try {
        s.op->run(fields.data(), c, r);
        done = true;
      } catch (...) {
        // The general function raises it, as Python expects it.
      }
      if (done) return ResultObjects(r, *s.op);
    }
  }
  return PyObject_Vectorcall(s.general, args, static_cast<std::size_t>(nargsf), kwnames);
}

// Puts the shortcut of every function of the table in the general function's place, with its
// name and text.
template <std::size_t... F>
void DefineShortcuts(py::module_& m, std::index_sequence<F...>) {
  static_assert(sizeof...(F) == std::size(kFunctions));
  const py::object module_name = m.attr("__name__");
  auto define = [&](std::size_t index, void (*call)()) {
    const Function& f = kFunctions[index];
    Shortcut& s = Shortcuts()[index];
    const py::object general = m.attr(f.name);
    s.op = &Operation(f.operation);
    s.general = general.inc_ref().ptr();
    s.doc = py::str(general.attr("__doc__"));
    s.def = {f.name, reinterpret_cast<PyCFunction>(call), METH_FASTCALL | METH_KEYWORDS,
             s.doc.c_str()};
    PyObject* shortcut = PyCFunction_NewEx(&s.def, m.ptr(), module_name.ptr());
    if (shortcut == nullptr) throw py::error_already_set();
    m.attr(f.name) = py::reinterpret_steal<py::object>(shortcut);
  };
  (define(F, reinterpret_cast<void (*)()>(&ShortcutCall<F>)), ...);
}

}  // namespace
}  // namespace miralto::python

PYBIND11_MODULE(miralto, m) {
  using namespace miralto;
  using namespace miralto::python;
  m.doc() = R"(Position codes of Miralto: the window's operations for scalars and numpy arrays.

Every function gives exactly the texts the Miralto window shows for the same fields and
corrections. Numbers may be given as floats (or ints) or as the texts a window field would hold.
Corrections are a pair of numbers or texts, read as the window reads its correction fields: the
nearest integer (halves to even) of the number or of the text's leading number.
Scalars give scalars; numpy arrays or sequences give numpy arrays, element-wise over their numpy
broadcast, with the loop in C++.

Errors raise subclasses of miralto.Error, one per kind: ConversionError, OverflowError, FileError,
EndOfFileError, OutOfReachError, InvalidCodeError. Each has ``kind``, ``message`` and ``index``
(the failed element of an array, or None).)";
  m.attr("__version__") = MIRALTO_VERSION;

  const py::module_ builtins = py::module_::import("builtins");
  const py::object type = builtins.attr("type");
  ErrorClasses& classes = Classes();
  classes.base = type("Error", py::make_tuple(builtins.attr("Exception")),
                      py::dict("__module__"_a = "miralto",
                               "__doc__"_a = "Base of every error of the conversions: kind, "
                                             "message and index (or None)."));
  m.attr("Error") = classes.base;
  for (std::size_t i = 0; i < kErrorKindCount; ++i) {
    const ErrorKindRow& row = kErrorKinds[i];
    const std::string name(row.name);
    py::object cls = type(name, py::make_tuple(classes.base, builtins.attr(kHostErrors[i].second)),
                          py::dict("__module__"_a = "miralto",
                                   "__doc__"_a = "The " + std::string(KindName(row.kind)) + "."));
    classes.by_kind[i] = {row.kind, cls};
    m.attr(name.c_str()) = cls;
  }

  for (const Function& f : kFunctions) Define(m, f);
  DefineShortcuts(m, std::make_index_sequence<std::size(kFunctions)>());
}
