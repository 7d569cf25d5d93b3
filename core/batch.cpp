#include "core/batch.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <thread>
#include <variant>
#include <vector>

#include "core/numbers.h"

namespace miralto::batch {

namespace {

DecimalInput Degrees(const Field& f) {
  if (f.kind == FieldKind::kNumber) return f.number;
  return f.text;
}

// A field that the window reads as a text of its own: degree/minute/second fields, codes.
std::string Text(const Field& f) {
  return f.kind == FieldKind::kNumber ? NumberText(f.number) : std::string(f.text);
}

PositionTexts Six(const Field* f) {
  return {{Text(f[0]), Text(f[1]), Text(f[2])}, {Text(f[3]), Text(f[4]), Text(f[5])}};
}

void PutDms(Results& r, std::size_t at, DmsTexts&& t) {
  r.texts[at] = std::move(t.degrees);
  r.texts[at + 1] = std::move(t.minutes);
  r.texts[at + 2] = std::move(t.seconds);
}

void PutDegrees(Results& r, const DecimalTexts& d) {
  r.numbers[0] = ParseStrict(d.lon);
  r.numbers[1] = ParseStrict(d.lat);
}

const ElementOperation kOperations[] = {
    {"encode", 2, 1, ResultKind::kText, true,
     [](const Field* f, Corrections c, Results& r) {
       r.texts[0] = EncodeDegrees(Degrees(f[0]), Degrees(f[1]), c);
     }},
    {"encode_dms", 6, 1, ResultKind::kText, true,
     [](const Field* f, Corrections c, Results& r) { r.texts[0] = EncodePosition(Six(f), c); }},
    {"decode", 1, 6, ResultKind::kText, true,
     [](const Field* f, Corrections c, Results& r) {
       PositionTexts p = DecodePosition(Text(f[0]), c);
       PutDms(r, 0, std::move(p.lon));
       PutDms(r, 3, std::move(p.lat));
     }},
    {"decode_dd", 1, 2, ResultKind::kNumber, true,
     [](const Field* f, Corrections c, Results& r) {
       PutDegrees(r, DecodeDegrees(Text(f[0]), c));
     }},
    {"encode_notation", 2, 1, ResultKind::kText, true,
     [](const Field* f, Corrections c, Results& r) {
       r.texts[0] = WrittenPositions().Code(Text(f[0]), Text(f[1]), c);
     }},
    {"notation_to_dd", 2, 2, ResultKind::kNumber, false,
     [](const Field* f, Corrections, Results& r) {
       PutDegrees(r, WrittenPositions().Degrees(Text(f[0]), Text(f[1])));
     }},
    {"compare", 2, 2, ResultKind::kInteger, false,
     [](const Field* f, Corrections, Results& r) {
       const CodeDifference d = CompareCodes(Text(f[0]), Text(f[1]));
       r.numbers[0] = ParseStrict(d.lon);
       r.numbers[1] = ParseStrict(d.lat);
     }},
    {"to_dms", 1, 3, ResultKind::kText, false,
     [](const Field* f, Corrections, Results& r) {
       PutDms(r, 0, std::visit([](auto degrees) { return DecimalToDms(degrees); }, Degrees(f[0])));
     }},
    {"to_dd", 3, 1, ResultKind::kNumber, false,
     [](const Field* f, Corrections, Results& r) {
       r.numbers[0] =
           ParseStrict(DmsToDecimal(DmsTexts{Text(f[0]), Text(f[1]), Text(f[2])}, "angle"));
     }},
};

// Elements [begin, end) on one thread.
struct Share {
  std::size_t begin = 0;
  std::size_t end = 0;
  std::optional<ElementFailure> failure;  // the first of the share
  std::exception_ptr fault;
};

void RunShare(const ElementOperation& op, const Inputs& inputs, Corrections c, bool stop_at_failure,
              std::span<ElementState> states, Outputs& outputs, Share& share) {
  try {
    std::array<Field, kMaxResults> fields;
    Results results;
    for (std::size_t i = share.begin; i < share.end; ++i) {
      bool missing = false;
      for (std::size_t k = 0; k < op.inputs; ++k) {
        fields[k] = inputs.At(k, i);
        missing = missing || fields[k].kind == FieldKind::kMissing;
      }
      if (missing) {
        states[i].status = ElementStatus::kMissing;
        continue;
      }
      try {
        op.run(fields.data(), c, results);
      } catch (const Error& error) {
        states[i] = {ElementStatus::kFailed, error.kind()};
        if (!share.failure) share.failure.emplace(ElementFailure{i, error});
        if (stop_at_failure) return;
        continue;
      }
      states[i].status = ElementStatus::kDone;
      outputs.Put(i, results);
    }
  } catch (...) {
    share.fault = std::current_exception();
  }
}

}  // namespace

Long CorrectionOf(const Field& f) {
  return RoundToLong(f.kind == FieldKind::kNumber ? f.number : ParseLenient(f.text));
}

std::string NumberText(double value) {
  if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
    char buffer[32];
    return std::string(
        buffer,
        std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value)).ptr);
  }
  return ShortestText(value);
}

std::span<const ElementOperation> ElementOperations() { return kOperations; }

const ElementOperation* FindElementOperation(std::string_view name) {
  for (const ElementOperation& row : kOperations) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

std::optional<ElementFailure> Run(const ElementOperation& op, const Inputs& inputs, Corrections c,
                                  bool stop_at_failure, std::span<ElementState> states,
                                  Outputs& outputs) {
  const std::size_t n = states.size();
  std::fill(states.begin(), states.end(), ElementState{});
  // Below this a thread costs more than it saves.
  constexpr std::size_t kElementsPerThread = 16384;
  const std::size_t threads = std::clamp<std::size_t>(
      n / kElementsPerThread, 1, std::max(1u, std::thread::hardware_concurrency()));
  std::vector<Share> shares(threads);
  for (std::size_t t = 0; t < threads; ++t) {
    shares[t].begin = n * t / threads;
    shares[t].end = n * (t + 1) / threads;
  }
  auto work = [&](Share& share) {
    RunShare(op, inputs, c, stop_at_failure, states, outputs, share);
  };
  {
    std::vector<std::jthread> pool;
    for (std::size_t t = 1; t < threads; ++t) pool.emplace_back(work, std::ref(shares[t]));
    work(shares[0]);
  }
  std::optional<ElementFailure> earliest;
  for (Share& share : shares) {
    if (share.fault) std::rethrow_exception(share.fault);
    // Shares are in index order: the first failure found is the earliest.
    if (share.failure && !earliest) earliest = std::move(share.failure);
  }
  return earliest;
}

}  // namespace miralto::batch
