// The operations over many positions at once, for the bindings: arrays of inputs, results and
// per-element failures, shared among the cores. Every element gives what the window gives for it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "core/operations.h"

namespace miralto::batch {

// One input value of a host: missing (None, NULL, NaN), a number, or a text as a window field
// holds it.
enum class FieldKind : std::uint8_t { kMissing, kNumber, kText };

struct Field {
  FieldKind kind = FieldKind::kMissing;
  double number = 0;
  std::string_view text;
};

// A correction as the window reads its correction field (RoundToLong of ParseLenient): a text's
// leading number, or the number, to the nearest integer, halves to even. Throws OverflowError
// outside the Long range. Every binding reads corrections through it.
Long CorrectionOf(const Field& f);

// The shortest text that reads back as `value`; whole numbers below 10^15 without an exponent, so
// that a code held as a number (500000000) reads as its digits.
std::string NumberText(double value);

// What an operation gives for one element: texts, or numbers read from the window's texts (exact,
// since their 15 digits read back), or whole numbers.
enum class ResultKind : std::uint8_t { kText, kNumber, kInteger };

inline constexpr std::size_t kMaxResults = 6;

struct Results {
  std::array<std::string, kMaxResults> texts;
  std::array<double, kMaxResults> numbers{};
};

// One operation on one element: `inputs` fields in, `outputs` results out.
struct ElementOperation {
  std::string_view name;  // "encode", as the bindings name it
  std::size_t inputs;
  std::size_t outputs;
  ResultKind kind;
  bool corrected;  // whether it takes the correction values
  // Throws the core's Error; fields are never missing.
  void (*run)(const Field* fields, Corrections c, Results& results);
};

// Every operation the bindings offer, one row each.
std::span<const ElementOperation> ElementOperations();

// The row named `name`; nullptr if there is none.
const ElementOperation* FindElementOperation(std::string_view name);

// The inputs of a batch: field `column` of element `i`. Called from several threads at once.
class Inputs {
 public:
  virtual ~Inputs() = default;
  virtual Field At(std::size_t column, std::size_t i) const = 0;
};

// Where results go: called once for each element that succeeded, from the thread that computed
// it; no two threads pass the same element.
class Outputs {
 public:
  virtual ~Outputs() = default;
  virtual void Put(std::size_t i, Results& results) = 0;
};

enum class ElementStatus : std::uint8_t {
  kNotRun,  // after a failure, when the batch stops at its first one
  kDone,
  kMissing,  // a missing input gives a missing result, which is not a failure
  kFailed,
};

struct ElementState {
  ElementStatus status = ElementStatus::kNotRun;
  ErrorKind kind = ErrorKind::kConversion;  // kFailed: the kind of the failure
};

struct ElementFailure {
  std::size_t index;
  Error error;
};

// Runs `op` on elements 0 to states.size() - 1, large batches shared among the cores, each core a
// contiguous share. Returns the failure of the lowest index that failed, if any: with
// `stop_at_failure` each core stops at the first failure of its share, which is still the earliest
// failure of the batch whatever the split. Anything but the core's Error (out of memory) is thrown
// once every core has stopped.
std::optional<ElementFailure> Run(const ElementOperation& op, const Inputs& inputs, Corrections c,
                                  bool stop_at_failure, std::span<ElementState> states,
                                  Outputs& outputs);

}  // namespace miralto::batch
