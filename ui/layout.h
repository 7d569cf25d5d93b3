// The window's controls come from the toolkit-free control table (form/controls.h), and their
// places too, a label's by form::FitLabel.
#pragma once

#include "form/controls.h"

namespace miralto::ui {

using form::ControlKind;
using form::ControlSpec;
using form::kClientHeight;
using form::kClientWidth;
using form::kControls;
using form::kTwipsPerPixel;

}  // namespace miralto::ui
