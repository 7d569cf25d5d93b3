// The window on the offscreen platform: layout, focus, keys, and each handler's writes.
#include <QApplication>
#include <QFile>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>

#include <filesystem>
#include <memory>

#include "form/controls.h"
#include "ui/main_window.h"

using miralto::ui::MainWindow;

namespace {

std::filesystem::path PathOf(const QString& directory) { return directory.toStdU16String(); }

QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write(bytes);
}

// The first and last column of a label that the caption inks, in the label's pixels, or {-1, -1}.
std::pair<int, int> InkColumns(QLabel& label) {
  const QImage picture = label.grab().toImage();
  const qreal scale = picture.devicePixelRatio();  // device pixels per label pixel
  const QRgb background = label.palette().color(QPalette::Window).rgb();
  std::pair<int, int> columns{-1, -1};
  for (int x = 0; x < picture.width(); ++x) {
    for (int y = 0; y < picture.height(); ++y) {
      if (picture.pixel(x, y) == background) continue;
      const int column = static_cast<int>(x / scale);
      if (columns.first < 0) columns.first = column;
      columns.second = column;
      break;
    }
  }
  return columns;
}

// Whether the fonts found a glyph for every character of the label's caption (none drawn as a box).
bool EveryGlyphFound(const QLabel& label) {
  QTextLayout layout(label.text(), label.font());
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  for (const QGlyphRun& run : layout.glyphRuns()) {
    for (const quint32 glyph : run.glyphIndexes()) {
      if (glyph == 0) return false;
    }
  }
  return true;
}

const QString kFileName = QString::fromUtf8("修正.txt");

const QStringList kAllBoxes = {"Text3(0)", "Text3(1)", "Text3(2)", "Text3(3)", "Text3(4)",
                               "Text3(5)", "Text4",    "Text1(0)", "Text1(1)", "Text2",
                               "Text5",    "Text6",    "Text7(0)", "Text7(1)"};

}  // namespace

class Form1Test : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void startTexts();
  void startsWithTheCorrectionFile();
  void controlsFollowTheTable_data();
  void controlsFollowTheTable();
  void textBoxesHaveNoLengthLimit();
  void tabVisitsTheFocusableControlsInOrder();
  void handlersWriteInOrderAndStopAtAFailure_data();
  void handlersWriteInOrderAndStopAtAFailure();
  void savingSetsTheValuesOnlyWhenTheFileIsWritten();
  void typicalRoad();
  void enterAndEscapeInATextBoxRunNothing();
  void enterAndSpaceOnAFocusedButtonRunIt();
  void failedStartupIsReportedAndTheButtonsWork();

 private:
  // A window on the test's directory whose failures are recorded instead of shown.
  std::unique_ptr<MainWindow> MakeWindow();
  QLineEdit* Box(MainWindow& window, const QString& name) {
    return window.findChild<QLineEdit*>(name);
  }
  QPushButton* Button(MainWindow& window, const QString& name) {
    return window.findChild<QPushButton*>(name);
  }
  void ShowAndActivate(MainWindow& window) {
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
  }

  std::unique_ptr<QTemporaryDir> dir_;
  QStringList reported_;  // "kind: detail" of every failure reported
};

void Form1Test::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  reported_.clear();
}

void Form1Test::cleanup() { dir_.reset(); }

std::unique_ptr<MainWindow> Form1Test::MakeWindow() {
  return std::make_unique<MainWindow>(PathOf(dir_->path()),
                                      [this](QWidget*, const QString& kind, const QString& detail) {
                                        reported_ << kind + QStringLiteral(": ") + detail;
                                      });
}

void Form1Test::startTexts() {
  auto window = MakeWindow();
  QCOMPARE(window->windowTitle(), QStringLiteral("Miralto"));
  const QStringList expected = {"105",        "0",         "0",         "40", "0", "0", "",
                                "113.288959", "23.236255", "87ak7vtpg", "",   "",  "",  ""};
  for (int i = 0; i < kAllBoxes.size(); ++i)
    QCOMPARE(Box(*window, kAllBoxes[i])->text(), expected[i]);
  QCOMPARE(window->corrections().lon, 0);
  QCOMPARE(window->corrections().lat, 0);
  QVERIFY(reported_.isEmpty());
  ShowAndActivate(*window);
  QCOMPARE(QApplication::focusWidget(), Box(*window, "Text3(0)"));
}

void Form1Test::startsWithTheCorrectionFile() {
  WriteAll(dir_->filePath(kFileName), "-193\r\n106\r\n");
  auto window = MakeWindow();
  QCOMPARE(Box(*window, "Text7(0)")->text(), QStringLiteral("-193"));
  QCOMPARE(Box(*window, "Text7(1)")->text(), QStringLiteral("106"));
  QCOMPARE(window->corrections().lon, -193);
  QCOMPARE(window->corrections().lat, 106);
  QCOMPARE(Box(*window, "Text3(0)")->text(), QStringLiteral("105"));
  QVERIFY(reported_.isEmpty());
}

void Form1Test::controlsFollowTheTable_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QRect>("twips");
  QFile file(QStringLiteral(MIRALTO_TEST_DATA_DIR "/window_controls.csv"));
  QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine()).trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QStringList f = line.split(',');
    QTest::newRow(f[0].toUtf8().constData())
        << f[1] << f[2] << QRect(f[3].toInt(), f[4].toInt(), f[5].toInt(), f[6].toInt());
  }
}

void Form1Test::controlsFollowTheTable() {
  QFETCH(QString, kind);
  QFETCH(QString, text);
  QFETCH(QRect, twips);
  auto window = MakeWindow();
  QCOMPARE(window->size(), QSize(312, 206));
  QVERIFY(window->minimumSize() == window->maximumSize());  // not resizable
  QWidget* control = window->findChild<QWidget*>(QString::fromUtf8(QTest::currentDataTag()));
  QVERIFY(control != nullptr);
  const QRect expected(twips.x() / 15, twips.y() / 15, twips.width() / 15, twips.height() / 15);
  const QRect actual = control->geometry();
  if (kind == "label") {
    auto* label = qobject_cast<QLabel*>(control);
    QVERIFY(label != nullptr);
    QCOMPARE(label->text(), text);
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    QVERIFY2(EveryGlyphFound(*label), "a caption character has no glyph: install fonts-noto-cjk");
    // A label keeps its place where its caption fits, even where the window clips its end; it may
    // grow where the caption needs more room, but it always covers its place.
    QCOMPARE(actual.top(), expected.top());
    QCOMPARE(actual.height(), expected.height());
    const int start = std::max(0, -expected.left());  // the caption starts inside the window
    if (start + label->fontMetrics().horizontalAdvance(text) <= expected.width()) {
      QCOMPARE(actual, expected);
    }
    QVERIFY2(actual.contains(expected),
             qPrintable(QStringLiteral("%1 %2").arg(actual.left()).arg(actual.right())));
    QVERIFY(actual.width() >= label->sizeHint().width());
    // Where the form fits the caption it measures, its inset as the label's margin.
    const QMargins margins = label->contentsMargins();
    namespace form = miralto::form;
    const form::LabelFit fit =
        form::FitLabel(form::kControls[*form::ControlRow(QTest::currentDataTag())],
                       label->sizeHint().width() - margins.left() - margins.right());
    QCOMPARE(margins.left(), fit.inset);
    QCOMPARE(actual, QRect(fit.place.left, fit.place.top, fit.place.width, fit.place.height));
    // What the user sees: the caption's first inked column inside the window, its last one inside
    // it too, or no further out than the table itself puts the label's end.
    const auto [first, last] = InkColumns(*label);
    QVERIFY(first >= 0);
    QVERIFY2(actual.left() + first >= 0,
             qPrintable(QStringLiteral("starts at %1").arg(actual.left() + first)));
    QVERIFY2(actual.left() + last < std::max(window->width(), expected.right() + 1),
             qPrintable(QStringLiteral("ends at %1").arg(actual.left() + last)));
  } else {
    QCOMPARE(actual, expected);
    if (kind == "button") {
      auto* button = qobject_cast<QPushButton*>(control);
      QVERIFY(button != nullptr);
      QCOMPARE(button->text(), text);
      QVERIFY(!button->isDefault());
      QVERIFY(!button->autoDefault());
    } else {
      auto* box = qobject_cast<QLineEdit*>(control);
      QVERIFY(box != nullptr);
      QCOMPARE(box->text(), text);
      QVERIFY(!box->accessibleName().isEmpty());
    }
  }
  QCOMPARE(control->font().pointSize(), 9);
}

void Form1Test::textBoxesHaveNoLengthLimit() {
  auto window = MakeWindow();
  const QString pasted(100000, QLatin1Char('7'));
  Box(*window, "Text4")->setText(pasted);
  QCOMPARE(Box(*window, "Text4")->text().size(), pasted.size());
}

void Form1Test::tabVisitsTheFocusableControlsInOrder() {
  auto window = MakeWindow();
  ShowAndActivate(*window);
  const QStringList order = {"Text3(0)", "Text3(1)", "Text3(2)", "Text3(3)", "Text3(4)",
                             "Text3(5)", "Text4",    "Command3", "Text1(0)", "Text1(1)",
                             "Command1", "Command2", "Command4", "Text2",    "Text5",
                             "Text6",    "Command5", "Command6", "Text7(0)", "Text7(1)"};
  for (int i = 1; i <= order.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), order[i % order.size()]);
  }
  for (int i = order.size() - 1; i >= 0; --i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
  }
}

void Form1Test::handlersWriteInOrderAndStopAtAFailure_data() {
  QTest::addColumn<QStringList>("setup");  // "box=text" before the press
  QTest::addColumn<QString>("button");
  QTest::addColumn<QStringList>("writes");  // "box=text" in the order written
  QTest::addColumn<QString>("failure");     // the kind reported, or empty

  QTest::newRow("up") << QStringList{} << "Command1"
                      << QStringList{"Text3(0)=113", "Text3(1)=17", "Text3(2)=20.24048",
                                     "Text3(3)=23",  "Text3(4)=14", "Text3(5)=10.52032"}
                      << "";
  QTest::newRow("down") << QStringList{} << "Command2" << QStringList{"Text1(0)=105", "Text1(1)=40"}
                        << "";
  QTest::newRow("down, latitude minutes not a number")
      << QStringList{"Text3(4)=x"} << "Command2" << QStringList{"Text1(0)=105"}
      << "conversion error";
  QTest::newRow("down, longitude minutes empty")
      << QStringList{"Text3(1)="} << "Command2" << QStringList{} << "conversion error";
  QTest::newRow("encode") << QStringList{} << "Command3" << QStringList{"Text4=7uy1yuy1y"} << "";
  QTest::newRow("encode, out of reach")
      << QStringList{"Text3(0)=200"} << "Command3" << QStringList{} << "out of reach";
  QTest::newRow("decode") << QStringList{"Text4=87ak7vtpg"} << "Command4"
                          << QStringList{"Text3(0)=113", "Text3(1)=17", "Text3(2)=39.5",
                                         "Text3(3)=23",  "Text3(4)=13", "Text3(5)=59.9"}
                          << "";
  QTest::newRow("decode, empty code")
      << QStringList{} << "Command4" << QStringList{} << "invalid position code";
  QTest::newRow("decode, uppercase code")
      << QStringList{"Text4=87AK7VTPG"} << "Command4" << QStringList{} << "invalid position code";
  QTest::newRow("compare") << QStringList{"Text4=8i4k7zwpg"} << "Command5"
                           << QStringList{"Text6=106", "Text5=-193"} << "";
  QTest::newRow("compare, empty code")
      << QStringList{} << "Command5" << QStringList{} << "invalid position code";
  QTest::newRow("save") << QStringList{"Text7(0)=1", "Text7(1)=2"} << "Command6" << QStringList{}
                        << "";
  QTest::newRow("save, overflow") << QStringList{"Text7(0)=1", "Text7(1)=3000000000"} << "Command6"
                                  << QStringList{} << "overflow error";
}

void Form1Test::handlersWriteInOrderAndStopAtAFailure() {
  QFETCH(QStringList, setup);
  QFETCH(QString, button);
  QFETCH(QStringList, writes);
  QFETCH(QString, failure);
  // The boxes each button may write: made unlike any result first, so that every write shows.
  const QMap<QString, QStringList> outputs = {
      {"Command1", {"Text3(0)", "Text3(1)", "Text3(2)", "Text3(3)", "Text3(4)", "Text3(5)"}},
      {"Command2", {"Text1(0)", "Text1(1)"}},
      {"Command3", {"Text4"}},
      {"Command4", {"Text3(0)", "Text3(1)", "Text3(2)", "Text3(3)", "Text3(4)", "Text3(5)"}},
      {"Command5", {"Text5", "Text6"}},
      {"Command6", {}}};
  auto window = MakeWindow();
  for (const QString& name : outputs[button]) Box(*window, name)->setText(QStringLiteral("old"));
  for (const QString& entry : setup) {
    Box(*window, entry.section('=', 0, 0))->setText(entry.section('=', 1));
  }
  QStringList written;
  for (const QString& name : kAllBoxes) {
    connect(Box(*window, name), &QLineEdit::textChanged, this,
            [&written, name](const QString& text) { written << name + '=' + text; });
  }

  QTest::mouseClick(Button(*window, button), Qt::LeftButton);

  QCOMPARE(written, writes);
  if (failure.isEmpty()) {
    QVERIFY2(reported_.isEmpty(), qPrintable(reported_.join('\n')));
  } else {
    QCOMPARE(reported_.size(), 1);
    QVERIFY2(reported_[0].startsWith(failure + ": "), qPrintable(reported_[0]));
  }
}

void Form1Test::savingSetsTheValuesOnlyWhenTheFileIsWritten() {
  auto window = MakeWindow();
  QTest::keyClicks(Box(*window, "Text7(0)"), QStringLiteral("-193"));
  QTest::keyClicks(Box(*window, "Text7(1)"), QStringLiteral("106"));
  QCOMPARE(window->corrections().lon, 0);  // typing alone changes nothing
  QTest::mouseClick(Button(*window, "Command6"), Qt::LeftButton);
  QCOMPARE(window->corrections().lon, -193);
  QCOMPARE(window->corrections().lat, 106);
  QCOMPARE(ReadAll(dir_->filePath(kFileName)), QByteArray("-193\r\n106\r\n"));

  Box(*window, "Text7(1)")->setText(QStringLiteral("3000000000"));
  QTest::mouseClick(Button(*window, "Command6"), Qt::LeftButton);
  QCOMPARE(window->corrections().lat, 106);
  QCOMPARE(ReadAll(dir_->filePath(kFileName)), QByteArray("-193\r\n106\r\n"));

  // A file error names the path and changes nothing.
  QVERIFY(QFile::remove(dir_->filePath(kFileName)));
  QVERIFY(QDir(dir_->path()).mkdir(kFileName));
  Box(*window, "Text7(1)")->setText(QStringLiteral("5"));
  QTest::mouseClick(Button(*window, "Command6"), Qt::LeftButton);
  QCOMPARE(reported_.size(), 2);
  QVERIFY2(reported_[1].startsWith("file error: ") && reported_[1].contains(kFileName),
           qPrintable(reported_[1]));
  QCOMPARE(window->corrections().lat, 106);
}

void Form1Test::typicalRoad() {
  auto window = MakeWindow();
  QTest::mouseClick(Button(*window, "Command1"), Qt::LeftButton);
  QTest::mouseClick(Button(*window, "Command3"), Qt::LeftButton);
  QCOMPARE(Box(*window, "Text4")->text(), QStringLiteral("8i4k7zwpg"));
  QTest::mouseClick(Button(*window, "Command5"), Qt::LeftButton);
  QCOMPARE(Box(*window, "Text6")->text(), QStringLiteral("106"));
  QCOMPARE(Box(*window, "Text5")->text(), QStringLiteral("-193"));
  QTest::keyClicks(Box(*window, "Text7(0)"), Box(*window, "Text5")->text());
  QTest::keyClicks(Box(*window, "Text7(1)"), Box(*window, "Text6")->text());
  QTest::mouseClick(Button(*window, "Command6"), Qt::LeftButton);
  QTest::mouseClick(Button(*window, "Command3"), Qt::LeftButton);
  QCOMPARE(Box(*window, "Text4")->text(), QStringLiteral("87ak7vtpg"));
  QVERIFY(reported_.isEmpty());

  auto next = MakeWindow();
  QCOMPARE(Box(*next, "Text7(0)")->text(), QStringLiteral("-193"));
  QCOMPARE(Box(*next, "Text7(1)")->text(), QStringLiteral("106"));
  QCOMPARE(next->corrections().lon, -193);
  QCOMPARE(next->corrections().lat, 106);
}

void Form1Test::enterAndEscapeInATextBoxRunNothing() {
  auto window = MakeWindow();
  ShowAndActivate(*window);
  for (const QString& name :
       {QStringLiteral("Text3(0)"), QStringLiteral("Text4"), QStringLiteral("Text7(1)")}) {
    Box(*window, name)->setFocus();
    QTest::keyClick(Box(*window, name), Qt::Key_Return);
    QTest::keyClick(Box(*window, name), Qt::Key_Enter);
    QTest::keyClick(Box(*window, name), Qt::Key_Escape);
  }
  QCOMPARE(Box(*window, "Text4")->text(), QString());
  QCOMPARE(Box(*window, "Text1(0)")->text(), QStringLiteral("113.288959"));
  QVERIFY(reported_.isEmpty());
  QVERIFY(window->isVisible());
}

void Form1Test::enterAndSpaceOnAFocusedButtonRunIt() {
  auto window = MakeWindow();
  ShowAndActivate(*window);
  Button(*window, "Command3")->setFocus();
  QTest::keyClick(Button(*window, "Command3"), Qt::Key_Return);
  QCOMPARE(Box(*window, "Text4")->text(), QStringLiteral("7uy1yuy1y"));
  Button(*window, "Command2")->setFocus();
  QTest::keyClick(Button(*window, "Command2"), Qt::Key_Space);
  QCOMPARE(Box(*window, "Text1(0)")->text(), QStringLiteral("105"));
  Box(*window, "Text4")->setText(QStringLiteral("87ak7vtpg"));
  Button(*window, "Command4")->setFocus();
  QTest::keyClick(Button(*window, "Command4"), Qt::Key_Enter);
  QCOMPARE(Box(*window, "Text3(2)")->text(), QStringLiteral("39.5"));
}

void Form1Test::failedStartupIsReportedAndTheButtonsWork() {
  WriteAll(dir_->filePath(kFileName), "12\r\n");
  auto window = MakeWindow();
  QVERIFY(reported_.isEmpty());  // not before the window is visible
  QCOMPARE(Box(*window, "Text7(0)")->text(), QStringLiteral("12"));
  QCOMPARE(Box(*window, "Text7(1)")->text(), QString());
  QCOMPARE(window->corrections().lon, 12);
  QCOMPARE(window->corrections().lat, 0);
  ShowAndActivate(*window);
  QTRY_COMPARE(reported_.size(), 1);
  QVERIFY2(reported_[0].startsWith("end of file: "), qPrintable(reported_[0]));
  QTest::mouseClick(Button(*window, "Command3"), Qt::LeftButton);
  QCOMPARE(Box(*window, "Text4")->text(), QStringLiteral("7gy1yuy1y"));
  QCOMPARE(reported_.size(), 1);
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
