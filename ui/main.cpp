#include <QApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>

#include "corrections/correction_location.h"
#include "miralto_version.h"
#include "ui/font_setup.h"
#include "ui/language.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
  miralto::ui::FontSetup fonts;  // while Qt connects to the display
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Miralto"));
  QApplication::setApplicationVersion(QStringLiteral(MIRALTO_VERSION));
  QIcon icon;
  // The 2-colour image last: it takes the place of the 16-colour one of its size, as the window
  // has always shown it at 32 pixels.
  for (const char* image :
       {":/icons/miralto-16.png", ":/icons/miralto-32.png", ":/icons/miralto-32-mono.png"}) {
    // Named PNGs read by Qt's own reader: guessing the format would load every image format
    // plugin (and their libraries) to ask each whether it reads a PNG.
    QImageReader reader(QString::fromLatin1(image), "png");
    reader.setAutoDetectImageFormat(false);
    icon.addPixmap(QPixmap::fromImage(reader.read()));
  }
  QApplication::setWindowIcon(icon);
  miralto::ui::InstallTranslations(app);
  fonts.Wait();
  miralto::ui::MainWindow window(miralto::CorrectionDirectory(miralto::ProgramDirectory()));
  window.show();
  return QApplication::exec();
}
