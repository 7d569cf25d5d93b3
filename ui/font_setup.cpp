#include "ui/font_setup.h"

#if MIRALTO_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace miralto::ui {

FontSetup::FontSetup() {
#if MIRALTO_FONTCONFIG
  // Qt's FcInit() then finds the configuration loaded.
  thread_ = std::thread([] { FcInit(); });
#endif
}

FontSetup::~FontSetup() { Wait(); }

void FontSetup::Wait() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace miralto::ui
