#include "form/controls.h"

#include <algorithm>

namespace miralto::form {

bool Overlap(const Rect& a, const Rect& b) {
  if (a.width <= 0 || a.height <= 0 || b.width <= 0 || b.height <= 0) return false;
  return a.left <= b.right() && b.left <= a.right() && a.top <= b.bottom() && b.top <= a.bottom();
}

Rect Pixels(const ControlSpec& row) {
  return {row.left / kTwipsPerPixel, row.top / kTwipsPerPixel, row.width / kTwipsPerPixel,
          row.height / kTwipsPerPixel};
}

Rect WidenedPlace(const Rect& designed, int needed, std::span<const Rect> obstacles,
                  int client_width) {
  if (needed <= designed.width) return designed;
  Rect wider{designed.left, designed.top, needed, designed.height};
  bool blocked = wider.right() >= std::max(client_width, designed.right() + 1);
  for (const Rect& other : obstacles) {
    blocked = blocked || (Overlap(wider, other) && !Overlap(designed, other));
  }
  if (blocked) {
    wider.left = designed.right() + 1 - needed;  // the same right end
    const int left_edge = std::min(designed.left, 0);
    if (wider.left < left_edge) wider.left = left_edge;
  }
  return wider;
}

const ControlSpec* FindControl(std::string_view name) {
  for (const ControlSpec& row : kControls) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

}  // namespace miralto::form
