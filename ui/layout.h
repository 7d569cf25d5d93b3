// The window's controls in tab order, with design positions and sizes in twips (15 to a pixel at
// 96 dots per inch).
#pragma once

#include <QList>
#include <QRect>
#include <QtGlobal>

#include <array>

namespace miralto::ui {

enum class ControlKind { kLabel, kTextBox, kButton };

struct ControlSpec {
  const char* name;  // objectName: "Text3(0)", "Command5"...
  ControlKind kind;
  const char* text;  // caption or start text, UTF-8
  int left, top, width, height;
  const char* role;  // the accessible name of a text box or button, translated
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 4680 / kTwipsPerPixel;
inline constexpr int kClientHeight = 3090 / kTwipsPerPixel;

// Where a label stands whose caption needs `needed` pixels, given its designed place, the places
// of the boxes and buttons, and the client width. A caption that fits keeps the designed place. A
// wider one grows to the right, unless that runs into a box or button the designed place did not
// touch or out of the client area (further than the designed place already reaches); then it grows
// to the left, but never past the client area's left edge (or the designed left, if further out):
// there it grows to the right after all, as a caption shown whole matters more than an overlap.
QRect WidenedPlace(const QRect& designed, int needed, const QList<QRect>& obstacles,
                   int client_width);

using K = ControlKind;
inline constexpr std::array<ControlSpec, 36> kControls{{
    {"Text3(0)", K::kTextBox, "105", 525, 240, 495, 375,
     QT_TRANSLATE_NOOP("Form1", "longitude, degrees")},
    {"Label1(0)", K::kLabel, "经度：", 0, 330, 540, 210, QT_TRANSLATE_NOOP("Form1", "longitude")},
    {"Label2(0)", K::kLabel, "度", 660, 0, 255, 255, QT_TRANSLATE_NOOP("Form1", "degrees")},
    {"Text3(1)", K::kTextBox, "0", 1005, 240, 495, 375,
     QT_TRANSLATE_NOOP("Form1", "longitude, minutes")},
    {"Label2(1)", K::kLabel, "分", 1140, 0, 255, 255, QT_TRANSLATE_NOOP("Form1", "minutes")},
    {"Text3(2)", K::kTextBox, "0", 1485, 240, 645, 375,
     QT_TRANSLATE_NOOP("Form1", "longitude, seconds")},
    {"Label2(2)", K::kLabel, "秒", 1620, 0, 255, 255, QT_TRANSLATE_NOOP("Form1", "seconds")},
    {"Text3(3)", K::kTextBox, "40", 510, 855, 495, 375,
     QT_TRANSLATE_NOOP("Form1", "latitude, degrees")},
    {"Label2(3)", K::kLabel, "度", 675, 615, 255, 255, QT_TRANSLATE_NOOP("Form1", "degrees")},
    {"Text3(4)", K::kTextBox, "0", 1005, 840, 495, 375,
     QT_TRANSLATE_NOOP("Form1", "latitude, minutes")},
    {"Label2(4)", K::kLabel, "分", 1125, 600, 255, 255, QT_TRANSLATE_NOOP("Form1", "minutes")},
    {"Text3(5)", K::kTextBox, "0", 1485, 840, 645, 375,
     QT_TRANSLATE_NOOP("Form1", "latitude, seconds")},
    {"Label2(5)", K::kLabel, "秒", 1605, 600, 255, 255, QT_TRANSLATE_NOOP("Form1", "seconds")},
    {"Label1(1)", K::kLabel, "纬度：", -15, 900, 540, 210, QT_TRANSLATE_NOOP("Form1", "latitude")},
    {"Text4", K::kTextBox, "", 3120, 255, 1575, 375, QT_TRANSLATE_NOOP("Form1", "position code")},
    {"Label1(2)", K::kLabel, "Vemo", 3615, 45, 285, 210,
     QT_TRANSLATE_NOOP("Form1", "position code")},
    {"Command3", K::kButton, "→", 2670, 255, 375, 375,
     QT_TRANSLATE_NOOP("Form1", "encode to the position code")},
    {"Text1(0)", K::kTextBox, "113.288959", 540, 2175, 1440, 315,
     QT_TRANSLATE_NOOP("Form1", "longitude, decimal degrees")},
    {"Text1(1)", K::kTextBox, "23.236255", 540, 2490, 1470, 315,
     QT_TRANSLATE_NOOP("Form1", "latitude, decimal degrees")},
    {"Label1(3)", K::kLabel, "纬度：", 0, 2550, 540, 210, QT_TRANSLATE_NOOP("Form1", "latitude")},
    {"Label1(4)", K::kLabel, "经度：", -15, 2175, 540, 210,
     QT_TRANSLATE_NOOP("Form1", "longitude")},
    {"Command1", K::kButton, "↑", 1395, 1320, 345, 735,
     QT_TRANSLATE_NOOP("Form1", "decimal degrees to degrees, minutes and seconds")},
    {"Command2", K::kButton, "↓", 765, 1320, 345, 735,
     QT_TRANSLATE_NOOP("Form1", "degrees, minutes and seconds to decimal degrees")},
    {"Command4", K::kButton, "←", 2235, 270, 375, 375,
     QT_TRANSLATE_NOOP("Form1", "decode the position code")},
    {"Text2", K::kTextBox, "87ak7vtpg", 3120, 840, 1545, 315,
     QT_TRANSLATE_NOOP("Form1", "reference position code")},
    {"Text5", K::kTextBox, "", 3105, 1530, 765, 315,
     QT_TRANSLATE_NOOP("Form1", "longitude difference")},
    {"Text6", K::kTextBox, "", 3990, 1530, 705, 315,
     QT_TRANSLATE_NOOP("Form1", "latitude difference")},
    {"Command5", K::kButton, "计算差值", 1830, 1410, 1170, 495,
     QT_TRANSLATE_NOOP("Form1", "compute the differences")},
    {"Label3", K::kLabel, "Vemo比较", 2370, 840, 645, 210,
     QT_TRANSLATE_NOOP("Form1", "reference position code")},
    {"Label4(0)", K::kLabel, "经度差值", 3090, 1230, 720, 210,
     QT_TRANSLATE_NOOP("Form1", "longitude difference")},
    {"Label4(1)", K::kLabel, "纬度差值", 3975, 1245, 720, 210,
     QT_TRANSLATE_NOOP("Form1", "latitude difference")},
    {"Command6", K::kButton, "修正误差", 2055, 2280, 1020, 420,
     QT_TRANSLATE_NOOP("Form1", "store the corrections")},
    {"Text7(0)", K::kTextBox, "", 3135, 2340, 525, 315,
     QT_TRANSLATE_NOOP("Form1", "longitude correction")},
    {"Text7(1)", K::kTextBox, "", 4020, 2340, 525, 315,
     QT_TRANSLATE_NOOP("Form1", "latitude correction")},
    {"Label1(5)", K::kLabel, "经度", 3165, 2085, 360, 210, QT_TRANSLATE_NOOP("Form1", "longitude")},
    {"Label1(6)", K::kLabel, "纬度", 4095, 2100, 360, 210, QT_TRANSLATE_NOOP("Form1", "latitude")},
}};

}  // namespace miralto::ui
