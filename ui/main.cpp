#include <QApplication>
#include <QIcon>

#include "corrections/correction_location.h"
#include "miralto_version.h"
#include "ui/form1.h"
#include "ui/language.h"

int main(int argc, char* argv[]) {
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
  miralto::ui::Form1 window(miralto::CorrectionDirectory(miralto::ProgramDirectory()));
  window.show();
  return QApplication::exec();
}
