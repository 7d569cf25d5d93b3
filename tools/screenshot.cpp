// miralto-screenshot FILE.png [SCALE]: saves the whole screen of the current display as a PNG,
// enlarged SCALE times (default 1) for a close look.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[]) {
  QGuiApplication app(argc, argv);
  const int scale = argc == 3 ? QString::fromLocal8Bit(argv[2]).toInt() : 1;
  if (argc < 2 || argc > 3 || scale < 1) {
    std::fputs("usage: miralto-screenshot FILE.png [SCALE]\n", stderr);
    return 2;
  }
  QPixmap picture = QGuiApplication::primaryScreen()->grabWindow(0);
  picture = picture.scaled(picture.size() * scale);
  return picture.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
