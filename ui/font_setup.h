// The system's font configuration read ahead: fontconfig parses its XML configuration (several
// milliseconds) the first time any text is laid out, which Qt does only once its connection to the
// display is made. Started first, on a thread of its own, it is ready before the first caption
// asks for it.
#pragma once

#include <thread>

namespace miralto::ui {

class FontSetup {
 public:
  // Starts reading the font configuration where Qt takes its fonts from fontconfig; elsewhere does
  // nothing.
  FontSetup();
  // Waits for the reading to end.
  ~FontSetup();
  FontSetup(const FontSetup&) = delete;
  FontSetup& operator=(const FontSetup&) = delete;

  // Waits for the reading to end. Call it before the first font is asked for: fontconfig would
  // otherwise read its configuration a second time rather than wait.
  void Wait();

 private:
  std::thread thread_;
};

}  // namespace miralto::ui
