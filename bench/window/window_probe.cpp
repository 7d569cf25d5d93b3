// A bare Qt window of a given size, and the same with one more of the things the real window does
// before it shows, each turned on by an argument: the window icon, the translations of Chinese,
// a grid of captioned labels and text boxes (fonts and widget creation), the list of font
// families (the window asks it whether Tahoma is there), a caption in Latin letters (the fonts set
// up and one face loaded), a caption in Chinese (a CJK face too, found by a fallback lookup), both,
// and every caption and start-up text of the window as plain labels in their places (its text
// alone), which lay their text out for the first paint, after the mapping, unless --sized lays it
// out before the window shows, as the window does when it widens its labels.
// The window's icon read as it was before, by QIcon::addFile, which has every image format plugin
// loaded to guess the PNGs' format (--icon-guessed), and fontconfig's configuration read on a
// thread of its own while Qt connects to the display, as the window does (--fonts-ahead).
// Usage: window_probe WIDTH HEIGHT [--icon DIR] [--icon-guessed DIR] [--translations]
//                     [--widgets N] [--families] [--latin] [--chinese] [--texts [--sized]]
//                     [--fonts-ahead]
#include <QApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QLocale>
#include <QPixmap>
#include <QTranslator>
#include <QWidget>

#include <cstring>
#include <optional>

#include "form/controls.h"
#include "ui/font_setup.h"

int main(int argc, char* argv[]) {
  // As the window does, before Qt connects to the display.
  std::optional<miralto::ui::FontSetup> fonts;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--fonts-ahead") == 0) fonts.emplace();
  }
  QApplication app(argc, argv);
  if (fonts) fonts->Wait();
  const QStringList args = QApplication::arguments();
  QWidget window;
  window.setFixedSize(args.value(1).toInt(), args.value(2).toInt());
  for (qsizetype i = 3; i < args.size(); ++i) {
    if (args[i] == "--icon" || args[i] == "--icon-guessed") {
      const bool guessed = args[i] == "--icon-guessed";
      const QString dir = args.value(++i);
      QIcon icon;
      for (const char* name : {"miralto-16.png", "miralto-32.png", "miralto-32-mono.png"}) {
        const QString file = dir + "/" + QString::fromLatin1(name);
        if (guessed) {
          icon.addFile(file);  // every image format plugin asked whether it reads the file
          continue;
        }
        // As the window reads them: named PNGs, no image format plugin asked.
        QImageReader reader(file, "png");
        reader.setAutoDetectImageFormat(false);
        icon.addPixmap(QPixmap::fromImage(reader.read()));
      }
      QApplication::setWindowIcon(icon);
    } else if (args[i] == "--translations") {
      auto* qt = new QTranslator(&app);
      if (qt->load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
      }
    } else if (args[i] == "--families") {
      if (QFontDatabase::families().contains(QStringLiteral("Tahoma"))) window.setFont({});
    } else if (args[i] == "--latin") {
      (new QLabel(QStringLiteral("Vemo"), &window))->move(4, 4);
    } else if (args[i] == "--sized") {
      // What the window does when it widens its labels: their captions laid out before it shows.
      for (QLabel* label : window.findChildren<QLabel*>()) label->sizeHint();
    } else if (args[i] == "--texts") {
      using miralto::form::kTwipsPerPixel;
      for (const miralto::form::ControlSpec& row : miralto::form::kControls) {
        auto* label = new QLabel(QString::fromUtf8(row.text), &window);
        label->setGeometry(row.left / kTwipsPerPixel, row.top / kTwipsPerPixel,
                           row.width / kTwipsPerPixel, row.height / kTwipsPerPixel);
      }
    } else if (args[i] == "--chinese") {
      (new QLabel(QString::fromUtf8("\u8ba1\u7b97\u5dee\u503c"), &window))->move(4, 4);
    } else if (args[i] == "--widgets") {
      const int count = args.value(++i).toInt();
      auto* grid = new QGridLayout(&window);
      for (int row = 0; row < count; ++row) {
        grid->addWidget(new QLabel(QStringLiteral("Label %1").arg(row)), row, 0);
        grid->addWidget(new QLineEdit(QStringLiteral("113.288959")), row, 1);
      }
    }
  }
  window.show();
  return QApplication::exec();
}
