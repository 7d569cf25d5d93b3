#include "bindings/sql/sql_functions.h"

#include <stdexcept>

namespace miralto::sql {

const Function* FindFunction(std::string_view name) {
  for (const Function& f : kFunctions) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

const batch::ElementOperation& OperationOf(const Function& function) {
  const batch::ElementOperation* op = batch::FindElementOperation(function.operation);
  if (op == nullptr) throw std::logic_error("no operation " + std::string(function.operation));
  return *op;
}

Value Call(const Function& function, std::span<const batch::Field> arguments) {
  const batch::ElementOperation& op = OperationOf(function);
  if (arguments.size() < op.inputs) throw std::invalid_argument("too few arguments");
  Value value;
  for (const batch::Field& f : arguments) {
    if (f.kind == batch::FieldKind::kMissing) return value;
  }
  Corrections corrections;
  if (op.corrected && arguments.size() >= op.inputs + 2) {
    corrections = {batch::CorrectionOf(arguments[op.inputs]),
                   batch::CorrectionOf(arguments[op.inputs + 1])};
  }
  batch::Results r;
  op.run(arguments.data(), corrections, r);
  const std::size_t at = function.shape == Shape::kSecond ? 1 : 0;
  switch (op.kind) {
    case batch::ResultKind::kNumber:
      // The number the window's text shows: its 15 digits read back exactly.
      value.type = Value::Type::kNumber;
      value.number = r.numbers[at];
      return value;
    case batch::ResultKind::kInteger:
      // Differences of two four-digit groups: whole numbers well within 32 bits.
      value.type = Value::Type::kInteger;
      value.integer = static_cast<std::int64_t>(r.numbers[at]);
      return value;
    case batch::ResultKind::kText:
      break;
  }
  value.type = Value::Type::kText;
  value.text = r.texts[at];
  if (function.shape == Shape::kJoined) {
    for (std::size_t i = 1; i < op.outputs; ++i) value.text += " " + r.texts[i];
  }
  return value;
}

}  // namespace miralto::sql
