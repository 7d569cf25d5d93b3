#include "form/form1.h"

#include <exception>
#include <new>
#include <optional>
#include <utility>

#include "core/errors.h"
#include "form/operations.h"

namespace miralto::form {

namespace {

// What a failure that left a handler tells the user. Only the tool's errors and running out of
// memory can leave one; anything else is told by what it says of itself.
Failure FailureOf(const Error& error) {
  return {KindMessage(error.kind()), error.detail(), error.context()};
}

Failure FailureOf(const std::exception_ptr& thrown) {
  try {
    std::rethrow_exception(thrown);
  } catch (const Error& error) {
    return FailureOf(error);
  } catch (const std::bad_alloc&) {
    return {MessageId::kOutOfMemory, {MessageId::kNeedsMoreMemory, {}}, {}};
  } catch (const std::exception& error) {
    return {MessageId::kUnexpectedError, {MessageId::kAsIs, {Argument::Text(error.what())}}, {}};
  }
}

}  // namespace

#ifdef _WIN32
CorrectionLoad FileCorrectionStore::Load() { return LoadCorrectionsW(directory_); }

Corrections FileCorrectionStore::Save(std::string_view lon_text, std::string_view lat_text) {
  return SaveCorrectionsW(directory_, lon_text, lat_text);
}
#else
FileCorrectionStore::FileCorrectionStore(std::filesystem::path directory)
    : directory_(std::move(directory)) {}

CorrectionLoad FileCorrectionStore::Load() { return LoadCorrections(directory_); }

Corrections FileCorrectionStore::Save(std::string_view lon_text, std::string_view lat_text) {
  return SaveCorrections(directory_, lon_text, lat_text);
}
#endif

Form1::Form1(CorrectionStore& store, FormView& view) : store_(store), view_(view) {
  for (const ControlSpec& row : kControls) {
    if (row.kind == ControlKind::kTextBox) texts_.emplace(row.name, row.text);
  }
}

const std::string& Form1::Text(std::string_view control) const {
  static const std::string kNone;
  const auto found = texts_.find(control);
  return found == texts_.end() ? kNone : found->second;
}

void Form1::SetText(std::string_view control, std::string_view text) {
  const auto found = texts_.find(control);
  if (found != texts_.end()) found->second = text;
}

void Form1::Write(std::string_view control, std::string text) {
  const auto found = texts_.find(control);
  if (found == texts_.end()) return;
  found->second = std::move(text);
  view_.ShowText(found->first, found->second);
}

// The correction lines as far as they could be read, each value before its field; then the
// failure, if any. The digit alphabet and table are constants of the core, ready before any
// handler runs, so a failed load leaves the buttons usable.
void Form1::Form_Load() {
  std::exception_ptr failure;
  try {
    const CorrectionLoad load = store_.Load();
    if (load.lines.size() > 0) {
      CorrectionLon = load.lines[0].value;
      Write("Text7(0)", load.lines[0].text);
    }
    if (load.lines.size() > 1) {
      CorrectionLat = load.lines[1].value;
      Write("Text7(1)", load.lines[1].text);
    }
    failure = load.failure;
  } catch (...) {
    failure = std::current_exception();
  }
  if (failure) view_.ShowFailure(FailureOf(failure));
}

void Form1::Command1_Click() { RunOperation("Command1"); }
void Form1::Command2_Click() { RunOperation("Command2"); }
void Form1::Command3_Click() { RunOperation("Command3"); }
void Form1::Command4_Click() { RunOperation("Command4"); }
void Form1::Command5_Click() { RunOperation("Command5"); }

// The operation's writes, as far as it got, then its failure.
void Form1::RunOperation(std::string_view command) {
  std::optional<Failure> failure;
  try {
    const Operation* operation = FindOperation(command);
    if (operation == nullptr) return;
    std::vector<std::string> reads;
    reads.reserve(operation->reads.size());
    for (const std::string_view control : operation->reads) reads.push_back(Text(control));
    Outcome outcome = operation->run(reads, corrections());
    for (FieldWrite& write : outcome.writes) Write(write.control, std::move(write.text));
    if (outcome.failure) failure = FailureOf(*outcome.failure);
  } catch (...) {
    failure = FailureOf(std::current_exception());
  }
  if (failure) view_.ShowFailure(*failure);
}

// "修正误差": the store first, then the values; a failure changes neither.
void Form1::Command6_Click() {
  try {
    const Corrections values = store_.Save(Text("Text7(0)"), Text("Text7(1)"));
    CorrectionLon = values.lon;
    CorrectionLat = values.lat;
  } catch (...) {
    view_.ShowFailure(FailureOf(std::current_exception()));
  }
}

ClickHandler HandlerOf(std::string_view button) {
  static constexpr std::pair<std::string_view, ClickHandler> kHandlers[] = {
      {"Command1", &Form1::Command1_Click}, {"Command2", &Form1::Command2_Click},
      {"Command3", &Form1::Command3_Click}, {"Command4", &Form1::Command4_Click},
      {"Command5", &Form1::Command5_Click}, {"Command6", &Form1::Command6_Click},
  };
  for (const auto& [name, handler] : kHandlers) {
    if (name == button) return handler;
  }
  return nullptr;
}

}  // namespace miralto::form
