#include "form/controls.h"

#include <algorithm>
#include <vector>

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

std::optional<std::size_t> ControlRow(std::string_view name) {
  for (std::size_t row = 0; row < kControls.size(); ++row) {
    if (name == kControls[row].name) return row;
  }
  return std::nullopt;
}

LabelFit FitLabel(const ControlSpec& row, int caption_width) {
  std::vector<Rect> obstacles;
  for (const ControlSpec& other : kControls) {
    if (other.kind != ControlKind::kLabel) obstacles.push_back(Pixels(other));
  }
  const Rect designed = Pixels(row);
  const int inset = std::max(0, -designed.left);
  return {WidenedPlace(designed, caption_width + inset, obstacles, kClientWidth), inset};
}

}  // namespace miralto::form
