#include "core/batch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace miralto::batch {
namespace {

// Texts of codes, one column.
class Codes : public Inputs {
 public:
  explicit Codes(std::vector<std::string> codes) : codes_(std::move(codes)) {}
  Field At(std::size_t, std::size_t i) const override {
    if (codes_[i] == "None") return {};
    return {FieldKind::kText, 0, codes_[i]};
  }
  std::size_t size() const { return codes_.size(); }

 private:
  std::vector<std::string> codes_;
};

class Collected : public Outputs {
 public:
  explicit Collected(std::size_t n) : lon(n, -1) {}
  void Put(std::size_t i, Results& r) override { lon[i] = r.numbers[0]; }
  std::vector<double> lon;
};

// Large enough to be shared among several threads wherever there are several cores.
constexpr std::size_t kLarge = 100000;

std::vector<std::string> LargeBatch(std::vector<std::pair<std::size_t, std::string>> changes) {
  std::vector<std::string> codes(kLarge, "87ak7vtpg");
  for (auto& [i, code] : changes) codes[i] = code;
  return codes;
}

TEST(Batch, TheEarliestFailureWhateverTheSplit) {
  for (const bool stop : {true, false}) {
    SCOPED_TRACE(stop ? "stop at the first failure" : "run every element");
    const Codes codes(LargeBatch({{90000, "8i4k7zwp"}, {60000, "x"}, {70000, "None"}}));
    std::vector<ElementState> states(codes.size());
    Collected out(codes.size());
    const auto failure =
        batch::Run(*FindElementOperation("decode_dd"), codes, {}, stop, states, out);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->index, 60000u);
    EXPECT_EQ(failure->error.kind(), ErrorKind::kInvalidCode);
    EXPECT_EQ(states[60000].status, ElementStatus::kFailed);
    EXPECT_EQ(states[59999].status, ElementStatus::kDone);
    EXPECT_EQ(out.lon[0], 113.294305555556);
    EXPECT_EQ(out.lon[60000], -1);  // no result for a failed element
    if (!stop) {
      EXPECT_EQ(states[70000].status, ElementStatus::kMissing);
      EXPECT_EQ(states[90000].status, ElementStatus::kFailed);
      EXPECT_EQ(out.lon[kLarge - 1], 113.294305555556);
    }
  }
}

TEST(Batch, NoFailureNoneReported) {
  const Codes codes(LargeBatch({}));
  std::vector<ElementState> states(codes.size());
  Collected out(codes.size());
  EXPECT_FALSE(
      batch::Run(*FindElementOperation("decode_dd"), codes, {-193, 106}, true, states, out));
  EXPECT_EQ(out.lon[kLarge / 2], 113.288944444444);
}

// Every row names an operation once and fits the results it has room for.
TEST(Batch, TheTableOfOperations) {
  for (const ElementOperation& row : ElementOperations()) {
    EXPECT_EQ(FindElementOperation(row.name), &row);
    EXPECT_LE(row.inputs, kMaxResults);
    EXPECT_LE(row.outputs, kMaxResults);
  }
  EXPECT_EQ(FindElementOperation("no such"), nullptr);
}

}  // namespace
}  // namespace miralto::batch
