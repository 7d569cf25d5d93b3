// Where a label stands whose caption is wider than designed (a larger font, the other language),
// and where its caption starts: every window places its labels by this rule; and the control
// table's lookup by name.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <vector>

#include "form/controls.h"

namespace miralto::form {

void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
}

void PrintTo(const LabelFit& f, std::ostream* os) {
  PrintTo(f.place, os);
  *os << " inset " << f.inset;
}

namespace {

struct Widening {
  const char* name;
  Rect designed;
  int needed;
  std::vector<Rect> obstacles;
  Rect place;
};

// The edges are where an off-by-one shows: the caption's last column on the client's last
// column or on a box's first one, and growing left to the client's first column.
TEST(WidenedPlace, StopsExactlyAtTheClientsEdgesAndAtBoxes) {
  static_assert(kClientWidth == 312);
  const Rect box{125, 0, 20, 20};
  const Widening cases[] = {
      {"fits: kept", {100, 0, 20, 14}, 20, {box}, {100, 0, 20, 14}},
      {"grows right", {10, 0, 20, 14}, 30, {box}, {10, 0, 30, 14}},
      {"ends on the client's last column: grows right", {290, 0, 20, 14}, 22, {}, {290, 0, 22, 14}},
      {"one column past the client: grows left", {290, 0, 20, 14}, 23, {}, {287, 0, 23, 14}},
      {"ends just before a box: grows right", {100, 0, 20, 14}, 25, {box}, {100, 0, 25, 14}},
      {"ends on a box's first column: grows left", {100, 0, 20, 14}, 26, {box}, {94, 0, 26, 14}},
      {"a box it touched already: grows right", {110, 0, 20, 14}, 30, {box}, {110, 0, 30, 14}},
      {"a box below, not beside: grows right", {100, 30, 20, 14}, 30, {box}, {100, 30, 30, 14}},
      {"a box on the right: grows left", {100, 0, 20, 14}, 30, {box}, {90, 0, 30, 14}},
      {"growing left reaches the client's first column",
       {5, 0, 20, 14},
       25,
       {{25, 0, 20, 20}},
       {0, 0, 25, 14}},
      {"growing left stops at the client's first column",
       {5, 0, 20, 14},
       40,
       {{28, 0, 20, 20}},
       {0, 0, 40, 14}},
      {"designed left of the client: grows no further left",
       {-1, 0, 20, 14},
       30,
       {{22, 0, 20, 20}},
       {-1, 0, 30, 14}},
      {"past the client by design, fits: kept", {265, 83, 48, 14}, 48, {}, {265, 83, 48, 14}},
      {"past the client by design, wider: keeps its right end",
       {265, 83, 48, 14},
       54,
       {},
       {259, 83, 54, 14}},
  };
  for (const Widening& c : cases) {
    EXPECT_EQ(WidenedPlace(c.designed, c.needed, c.obstacles, kClientWidth), c.place) << c.name;
  }
}

// The one rule of every window (Qt, Windows, the page), from the width a caption measures: a label
// the table starts a pixel left of the client area starts its caption a pixel in, and that pixel
// counts when the caption's room is reckoned.
TEST(FitLabel, GivesThePlaceAndTheInsetOfACaption) {
  struct Case {
    const char* name;
    int caption_width;
    LabelFit fit;
  };
  const struct {
    const char* label;
    std::vector<Case> cases;
  } labels[] = {
      // "纬度：" at (-1, 60), 36 x 14, already over the box Text3(3) on its right.
      {"Label1(1)",
       {{"fits with its inset", 35, {{-1, 60, 36, 14}, 1}},
        {"one pixel more with its inset: grows right", 36, {{-1, 60, 37, 14}, 1}}}},
      // "经度：" at (0, 22): no inset.
      {"Label1(0)",
       {{"fits", 36, {{0, 22, 36, 14}, 0}}, {"wider: grows right", 40, {{0, 22, 40, 14}, 0}}}},
      // "Vemo比较" at (158, 56), 43 wide: the box Text2 begins at column 208.
      {"Label3",
       {{"up to the box: grows right", 50, {{158, 56, 50, 14}, 0}},
        {"onto the box: grows left", 51, {{150, 56, 51, 14}, 0}}}},
  };
  for (const auto& label : labels) {
    const ControlSpec& row = kControls[*ControlRow(label.label)];
    for (const Case& c : label.cases) {
      EXPECT_EQ(FitLabel(row, c.caption_width), c.fit) << label.label << ": " << c.name;
    }
  }
}

TEST(ControlRow, FindsEveryRowByItsNameAndNothingElse) {
  for (std::size_t row = 0; row < kControls.size(); ++row) {
    EXPECT_EQ(ControlRow(kControls[row].name), row) << kControls[row].name;
  }
  EXPECT_EQ(ControlRow("Text3"), std::nullopt);
  EXPECT_EQ(ControlRow("Text3(0"), std::nullopt);
}

}  // namespace
}  // namespace miralto::form
