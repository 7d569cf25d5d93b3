#include <QApplication>
#include <QIcon>

#include <thread>

#ifdef MIRALTO_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

#include "corrections/correction_location.h"
#include "miralto_version.h"
#include "ui/form1.h"
#include "ui/language.h"

int main(int argc, char* argv[]) {
#ifdef MIRALTO_FONTCONFIG
  // Reading the system's font configuration takes about as long as connecting to the display, and
  // the first caption needs it: it is read on another core meanwhile. Qt finds it read.
  std::jthread font_configuration([] { FcInit(); });
#endif
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Miralto"));
  QApplication::setApplicationVersion(QStringLiteral(MIRALTO_VERSION));
  QIcon icon;
  // The 2-colour image last: the 16-colour one of its size comes first.
  for (const char* image :
       {":/icons/miralto-16.png", ":/icons/miralto-32.png", ":/icons/miralto-32-mono.png"}) {
    icon.addFile(QString::fromLatin1(image));
  }
  QApplication::setWindowIcon(icon);
  miralto::ui::InstallTranslations(app);
  const auto directory = miralto::CorrectionDirectory(miralto::ProgramDirectory());
#ifdef MIRALTO_FONTCONFIG
  font_configuration.join();  // rather than reading it a second time
#endif
  miralto::ui::Form1 window(directory);
  window.show();
  return QApplication::exec();
}
