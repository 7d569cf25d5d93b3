// The window's controls come from the toolkit-free control table (form/controls.h); this adds the
// Qt form of the place a widened label takes.
#pragma once

#include <QList>
#include <QRect>

#include "form/controls.h"

namespace miralto::ui {

using form::ControlKind;
using form::ControlSpec;
using form::kClientHeight;
using form::kClientWidth;
using form::kControls;
using form::kTwipsPerPixel;

// form::WidenedPlace over Qt's rectangles.
QRect WidenedPlace(const QRect& designed, int needed, const QList<QRect>& obstacles,
                   int client_width);

}  // namespace miralto::ui
