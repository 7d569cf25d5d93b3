// Where a label stands whose caption is wider than designed (a larger font, the other language):
// every window places its labels by this rule, the page and the Windows window without Qt.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "form/controls.h"

namespace miralto::form {

void PrintTo(const Rect& r, std::ostream* os) {
  *os << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
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

}  // namespace
}  // namespace miralto::form
