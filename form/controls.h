// The window's controls in tab order: names, kinds, captions or start-up texts, design positions
// and sizes in twips (15 to a pixel at 96 dots per inch), and the role a screen reader names. Every
// window builds its controls from this table; it needs no toolkit.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

// Marks a role for the translation tools, which read it as the toolkit's translate-no-op macro.
#define ROLE_TEXT(context, text) text

namespace miralto::form {

enum class ControlKind { kLabel, kTextBox, kButton };

struct ControlSpec {
  const char* name;  // "Text3(0)", "Command5", "Label1(2)"
  ControlKind kind;
  const char* text;  // caption or start-up text, UTF-8; captions are the same in every language
  int left, top, width, height;  // twips
  const char* role;  // the accessible name, in English; RoleText tells it in another language
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 4680 / kTwipsPerPixel;
inline constexpr int kClientHeight = 3090 / kTwipsPerPixel;

// A place in pixels; right() and bottom() are the last pixel columns and rows it covers.
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  int right() const { return left + width - 1; }
  int bottom() const { return top + height - 1; }
  bool operator==(const Rect&) const = default;
};

// Whether `a` and `b` share a pixel; an empty place shares none.
bool Overlap(const Rect& a, const Rect& b);

// A row's place in pixels at 96 dots per inch (twips divided by 15, rounded towards zero).
Rect Pixels(const ControlSpec& row);

// Where a label stands whose caption needs `needed` pixels, given its designed place, the places
// of the boxes and buttons, and the client width. A caption that fits keeps the designed place. A
// wider one grows to the right, unless that runs into a box or button the designed place did not
// touch or out of the client area (further than the designed place already reaches); then it grows
// to the left, but never past the client area's left edge (or the designed left, if further out):
// there it grows to the right after all, as a caption shown whole matters more than an overlap.
Rect WidenedPlace(const Rect& designed, int needed, std::span<const Rect> obstacles,
                  int client_width);

using K = ControlKind;
inline constexpr std::array<ControlSpec, 36> kControls{{
    {"Text3(0)", K::kTextBox, "105", 525, 240, 495, 375, ROLE_TEXT("Form1", "longitude, degrees")},
    {"Label1(0)", K::kLabel, "经度：", 0, 330, 540, 210, ROLE_TEXT("Form1", "longitude")},
    {"Label2(0)", K::kLabel, "度", 660, 0, 255, 255, ROLE_TEXT("Form1", "degrees")},
    {"Text3(1)", K::kTextBox, "0", 1005, 240, 495, 375, ROLE_TEXT("Form1", "longitude, minutes")},
    {"Label2(1)", K::kLabel, "分", 1140, 0, 255, 255, ROLE_TEXT("Form1", "minutes")},
    {"Text3(2)", K::kTextBox, "0", 1485, 240, 645, 375, ROLE_TEXT("Form1", "longitude, seconds")},
    {"Label2(2)", K::kLabel, "秒", 1620, 0, 255, 255, ROLE_TEXT("Form1", "seconds")},
    {"Text3(3)", K::kTextBox, "40", 510, 855, 495, 375, ROLE_TEXT("Form1", "latitude, degrees")},
    {"Label2(3)", K::kLabel, "度", 675, 615, 255, 255, ROLE_TEXT("Form1", "degrees")},
    {"Text3(4)", K::kTextBox, "0", 1005, 840, 495, 375, ROLE_TEXT("Form1", "latitude, minutes")},
    {"Label2(4)", K::kLabel, "分", 1125, 600, 255, 255, ROLE_TEXT("Form1", "minutes")},
    {"Text3(5)", K::kTextBox, "0", 1485, 840, 645, 375, ROLE_TEXT("Form1", "latitude, seconds")},
    {"Label2(5)", K::kLabel, "秒", 1605, 600, 255, 255, ROLE_TEXT("Form1", "seconds")},
    {"Label1(1)", K::kLabel, "纬度：", -15, 900, 540, 210, ROLE_TEXT("Form1", "latitude")},
    {"Text4", K::kTextBox, "", 3120, 255, 1575, 375, ROLE_TEXT("Form1", "position code")},
    {"Label1(2)", K::kLabel, "Vemo", 3615, 45, 285, 210, ROLE_TEXT("Form1", "position code")},
    {"Command3", K::kButton, "→", 2670, 255, 375, 375,
     ROLE_TEXT("Form1", "encode to the position code")},
    {"Text1(0)", K::kTextBox, "113.288959", 540, 2175, 1440, 315,
     ROLE_TEXT("Form1", "longitude, decimal degrees")},
    {"Text1(1)", K::kTextBox, "23.236255", 540, 2490, 1470, 315,
     ROLE_TEXT("Form1", "latitude, decimal degrees")},
    {"Label1(3)", K::kLabel, "纬度：", 0, 2550, 540, 210, ROLE_TEXT("Form1", "latitude")},
    {"Label1(4)", K::kLabel, "经度：", -15, 2175, 540, 210, ROLE_TEXT("Form1", "longitude")},
    {"Command1", K::kButton, "↑", 1395, 1320, 345, 735,
     ROLE_TEXT("Form1", "decimal degrees to degrees, minutes and seconds")},
    {"Command2", K::kButton, "↓", 765, 1320, 345, 735,
     ROLE_TEXT("Form1", "degrees, minutes and seconds to decimal degrees")},
    {"Command4", K::kButton, "←", 2235, 270, 375, 375,
     ROLE_TEXT("Form1", "decode the position code")},
    {"Text2", K::kTextBox, "87ak7vtpg", 3120, 840, 1545, 315,
     ROLE_TEXT("Form1", "reference position code")},
    {"Text5", K::kTextBox, "", 3105, 1530, 765, 315, ROLE_TEXT("Form1", "longitude difference")},
    {"Text6", K::kTextBox, "", 3990, 1530, 705, 315, ROLE_TEXT("Form1", "latitude difference")},
    {"Command5", K::kButton, "计算差值", 1830, 1410, 1170, 495,
     ROLE_TEXT("Form1", "compute the differences")},
    {"Label3", K::kLabel, "Vemo比较", 2370, 840, 645, 210,
     ROLE_TEXT("Form1", "reference position code")},
    {"Label4(0)", K::kLabel, "经度差值", 3090, 1230, 720, 210,
     ROLE_TEXT("Form1", "longitude difference")},
    {"Label4(1)", K::kLabel, "纬度差值", 3975, 1245, 720, 210,
     ROLE_TEXT("Form1", "latitude difference")},
    {"Command6", K::kButton, "修正误差", 2055, 2280, 1020, 420,
     ROLE_TEXT("Form1", "store the corrections")},
    {"Text7(0)", K::kTextBox, "", 3135, 2340, 525, 315, ROLE_TEXT("Form1", "longitude correction")},
    {"Text7(1)", K::kTextBox, "", 4020, 2340, 525, 315, ROLE_TEXT("Form1", "latitude correction")},
    {"Label1(5)", K::kLabel, "经度", 3165, 2085, 360, 210, ROLE_TEXT("Form1", "longitude")},
    {"Label1(6)", K::kLabel, "纬度", 4095, 2100, 360, 210, ROLE_TEXT("Form1", "latitude")},
}};

// The row of kControls named `name` ("Text3(0)"), or nothing.
std::optional<std::size_t> ControlRow(std::string_view name);

// Where a label shows its caption: the place its control takes, in pixels at 96 dots per inch, and
// how far right of the place's left the caption starts.
struct LabelFit {
  Rect place;
  int inset = 0;
  bool operator==(const LabelFit&) const = default;
};

// How the label `row` shows a caption `caption_width` pixels wide (at 96 dots per inch, rounded
// up): every window places its labels by this. A label the table starts left of the client area
// keeps its place there but starts its caption at the client area's edge, the inset; a caption
// that with its inset needs more room than the place grows it (WidenedPlace, against the table's
// boxes and buttons).
LabelFit FitLabel(const ControlSpec& row, int caption_width);

}  // namespace miralto::form

#undef ROLE_TEXT
