// The window's language: which one the system's locale picks, every kind of failure told in
// Chinese and in English through the window, the message box's own button, and a translation
// file without an unfinished or missing entry.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QXmlStreamReader>

#include <filesystem>
#include <memory>

#include "core/messages.h"
#include "ui/language.h"
#include "ui/main_window.h"

using miralto::ui::MainWindow;

namespace {

const QString kFileName = QString::fromUtf8("修正.txt");
const QString kEnglishNumberRule = QStringLiteral(
    " is not a number (expected digits with an optional sign, one period and an exponent such as "
    "1.5E-3)");
const QString kChineseNumberRule =
    QString::fromUtf8("不是数字（应为数字，可带正负号、一个小数点和指数，如 1.5E-3）");
const QString kLongRange = QStringLiteral("-2147483648 to 2147483647");

// The placeholders %1 to %9 that a text uses, in order of their numbers.
QString Placeholders(const QString& text) {
  QStringList found;
  for (const auto& match : QRegularExpression(QStringLiteral("%[1-9]")).globalMatch(text)) {
    found << match.captured();
  }
  found.sort();
  found.removeDuplicates();
  return found.join(' ');
}

// Reads the message box that a modal exec shows, then closes it.
struct BoxReader {
  QString text;
  QStringList buttons;

  void ReadSoon() {
    QTimer::singleShot(10, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) {
        ReadSoon();
        return;
      }
      text = box->text();
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
      box->accept();
    });
  }
};

}  // namespace

class LanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void localeChoosesTheLanguage_data();
  void localeChoosesTheLanguage();
  void failuresAreToldInTheLanguage_data();
  void failuresAreToldInTheLanguage();
  void messageBoxSpeaksTheLanguage_data();
  void messageBoxSpeaksTheLanguage();
  void everyMessageOfTheTableIsTranslated();
  void translationFileIsFinished();
  void systemLanguage();

 private:
  std::unique_ptr<MainWindow> MakeWindow() {
    return std::make_unique<MainWindow>(
        dir_->path().toStdU16String(),
        [this](QWidget*, const QString& kind, const QString& detail) {
          reported_ << kind << detail;
        });
  }
  // Sets "box=text" entries, presses `button` (none: the start-up), and returns the reported
  // kind and detail.
  QStringList Press(const QStringList& setup, const QString& button);

  std::unique_ptr<QTemporaryDir> dir_;
  QStringList reported_;
};

void LanguageTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  reported_.clear();
}

void LanguageTest::cleanup() {
  dir_.reset();
  miralto::ui::InstallTranslations(*qApp, QLocale(QLocale::English));
}

QStringList LanguageTest::Press(const QStringList& setup, const QString& button) {
  for (const QString& entry : setup) {
    if (entry.startsWith(QStringLiteral("file="))) {
      QFile file(dir_->filePath(kFileName));
      if (file.open(QIODevice::WriteOnly)) file.write(entry.mid(5).toUtf8());
    } else if (entry == QStringLiteral("folder")) {
      QDir(dir_->path()).mkpath(kFileName + QStringLiteral("/x"));
    }
  }
  auto window = MakeWindow();
  for (const QString& entry : setup) {
    if (entry.startsWith(QStringLiteral("Text"))) {
      window->findChild<QLineEdit*>(entry.section('=', 0, 0))->setText(entry.section('=', 1));
    }
  }
  if (button.isEmpty()) {
    window->show();
    if (!QTest::qWaitFor([this] { return !reported_.isEmpty(); })) return {};
  } else {
    QTest::mouseClick(window->findChild<QPushButton*>(button), Qt::LeftButton);
  }
  return reported_;
}

void LanguageTest::localeChoosesTheLanguage_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("suffix");  // empty: English
  QTest::newRow("mainland") << "zh_CN"
                            << "zh_CN";
  QTest::newRow("Singapore") << "zh_SG"
                             << "zh_CN";
  QTest::newRow("Taiwan, traditional script") << "zh_TW"
                                              << "zh_CN";
  QTest::newRow("Hong Kong") << "zh_HK"
                             << "zh_CN";
  QTest::newRow("US English") << "en_US"
                              << "";
  QTest::newRow("German") << "de_DE"
                          << "";
  QTest::newRow("C") << "C"
                     << "";
}

void LanguageTest::localeChoosesTheLanguage() {
  QFETCH(QString, locale);
  QFETCH(QString, suffix);
  QCOMPARE(miralto::ui::InstallTranslations(*qApp, QLocale(locale)), suffix);
}

void LanguageTest::failuresAreToldInTheLanguage_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QStringList>("setup");  // "Text4=...", "file=..." or "folder"
  QTest::addColumn<QString>("button");     // empty: the start-up
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QString>("detail");  // {file}: the correction file; {reason}: the system's

  const QString zh = QStringLiteral("zh_CN");
  const QString en = QStringLiteral("en_US");
  const QString digits = QStringLiteral("0123456789abcdefghijkmnpqrstuvwxyz");
  auto u = [](const char* text) { return QString::fromUtf8(text); };

  QTest::newRow("zh, conversion") << zh << QStringList{"Text3(0)=abc"} << "Command3"
                                  << u("转换错误") << u("经度（度）：“abc”") + kChineseNumberRule;
  QTest::newRow("en, conversion") << en << QStringList{"Text3(0)=abc"} << "Command3"
                                  << "conversion error"
                                  << "longitude degrees: \"abc\"" + kEnglishNumberRule;
  QTest::newRow("zh, conversion, long text cut")
      << zh << QStringList{"Text3(4)=" + QString(50, 'x')} << "Command2" << u("转换错误")
      << u("纬度（分）：“") + QString(40, 'x') + u("”……（共 50 个字符）") + kChineseNumberRule;
  QTest::newRow("zh, overflow")
      << zh << QStringList{"Text7(0)=1", "Text7(1)=3000000000"} << "Command6" << u("溢出错误")
      << u("纬度修正值：数值 3000000000 超出整数范围 -2147483648 至 2147483647");
  QTest::newRow("en, overflow")
      << en << QStringList{"Text7(0)=1", "Text7(1)=3000000000"} << "Command6"
      << "overflow error"
      << "latitude correction: the value 3000000000 is outside the integer range " + kLongRange;
  QTest::newRow("zh, overflow at start-up")
      << zh << QStringList{"file=5\r\n-3e9\r\n"} << "" << u("溢出错误")
      << u("{file}第 2 行（纬度修正值）：数值 -3000000000 超出整数范围 -2147483648 至 2147483647");
  QTest::newRow("zh, file") << zh << QStringList{"folder"} << "Command6" << u("文件错误")
                            << u("无法写入修正值文件{file}：{reason}");
  QTest::newRow("en, file") << en << QStringList{"folder"} << "Command6"
                            << "file error"
                            << "cannot write the correction file {file}: {reason}";
  QTest::newRow("zh, end of file")
      << zh << QStringList{"file=12\r\n"} << "" << u("文件意外结束")
      << u("修正值文件{file}只有一行；它需要两行：经度修正值和纬度修正值");
  QTest::newRow("en, end of file")
      << en << QStringList{"file=12\r\n"} << ""
      << "end of file"
      << "the correction file {file} ends after one line; it needs two: the longitude and the "
         "latitude correction";
  QTest::newRow("zh, out of reach")
      << zh << QStringList{"Text3(0)=200"} << "Command3" << u("超出编码范围")
      << u("经度 200°00'00.0\" 超出 Vemo 码的范围（70°00'00.0\" 至 142°07'13.5\"）");
  QTest::newRow("en, out of reach")
      << en << QStringList{"Text3(0)=200"} << "Command3"
      << "out of reach"
      << u("longitude 200°00'00.0\" lies outside the reach of the code, 70°00'00.0\" to "
           "142°07'13.5\"");
  QTest::newRow("zh, invalid code")
      << zh << QStringList{"Text4=87AK7VTPG"} << "Command4" << u("无效的 Vemo 码")
      << u("Vemo 码“87AK7VTPG”的第 3 个字符“A”无效：应为 ") + digits +
             u(" 中的一个字符（小写，不含 l 和 o）");
  QTest::newRow("en, invalid code")
      << en << QStringList{"Text4=87AK7VTPG"} << "Command4"
      << "invalid position code"
      << "character \"A\" at position 3 of the code \"87AK7VTPG\": expected a digit of " + digits +
             " (lowercase, no l, no o)";
  QTest::newRow("zh, invalid reference")
      << zh << QStringList{"Text4=8i4k7zwpg", "Text2=87ak7\tv"} << "Command5" << u("无效的 Vemo 码")
      << u("参照 Vemo 码“87ak7\\x09v”有 7 个字符；应为 9 个字符的 Vemo 码（不含分区数字时为 8 "
           "个）");
  QTest::newRow("zh, empty code") << zh << QStringList{} << "Command4" << u("无效的 Vemo 码")
                                  << u("Vemo 码为空");
}

void LanguageTest::failuresAreToldInTheLanguage() {
  QFETCH(QString, locale);
  QFETCH(QStringList, setup);
  QFETCH(QString, button);
  QFETCH(QString, kind);
  QFETCH(QString, detail);
  miralto::ui::InstallTranslations(*qApp, QLocale(locale));
  const QStringList reported = Press(setup, button);
  QCOMPARE(reported.size(), 2);
  QCOMPARE(reported[0], kind);
  const QString quote = locale.startsWith("zh") ? QString::fromUtf8("“%1”") : "\"%1\"";
  const QString path = QDir::toNativeSeparators(QDir(dir_->path()).filePath(kFileName));
  QString expected = detail;
  expected.replace(QStringLiteral("{file}"), quote.arg(path));
  const QString head = expected.section(QStringLiteral("{reason}"), 0, 0);
  const QString tail = expected.section(QStringLiteral("{reason}"), 1);
  if (expected.contains(QStringLiteral("{reason}"))) {
    QVERIFY2(reported[1].startsWith(head) && reported[1].endsWith(tail) &&
                 reported[1].size() > head.size() + tail.size(),
             qPrintable(reported[1]));
  } else {
    QCOMPARE(reported[1], expected);
  }
}

void LanguageTest::messageBoxSpeaksTheLanguage_data() {
  QTest::addColumn<QString>("locale");
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("button");
  QTest::newRow("zh") << "zh_CN"
                      << QString::fromUtf8("转换错误：\n经度（度）：“abc”") + kChineseNumberRule
                      << QString::fromUtf8("确定");
  QTest::newRow("en") << "en_US"
                      << "Conversion error:\nlongitude degrees: \"abc\"" + kEnglishNumberRule
                      << "OK";
}

// The real message box, as the window shows it.
void LanguageTest::messageBoxSpeaksTheLanguage() {
  QFETCH(QString, locale);
  QFETCH(QString, text);
  QFETCH(QString, button);
  miralto::ui::InstallTranslations(*qApp, QLocale(locale));
  MainWindow window(dir_->path().toStdU16String());
  window.show();
  window.findChild<QLineEdit*>(QStringLiteral("Text3(0)"))->setText(QStringLiteral("abc"));
  BoxReader reader;
  reader.ReadSoon();
  QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("Command3")), Qt::LeftButton);
  QCOMPARE(reader.text, text);
  QCOMPARE(reader.buttons, QStringList{button});
  QCOMPARE(window.windowTitle(), QStringLiteral("Miralto"));
}

// The embedded Chinese translation has every text of the message table, with its placeholders.
void LanguageTest::everyMessageOfTheTableIsTranslated() {
  QTranslator translator;
  QVERIFY(translator.load(QStringLiteral(":/i18n/miralto_zh_CN.qm")));
  for (std::size_t i = 0; i < miralto::kMessageCount; ++i) {
    const auto id = static_cast<miralto::MessageId>(i);
    const QString english = QString::fromUtf8(miralto::EnglishPattern(id).data());
    QVERIFY2(!english.isEmpty(), qPrintable(QString::number(i)));
    const QString chinese =
        translator.translate(miralto::kMessageContext.data(), miralto::EnglishPattern(id).data());
    QVERIFY2(!chinese.isEmpty(), qPrintable("untranslated: " + english));
    QCOMPARE(Placeholders(chinese), Placeholders(english));
  }
}

// The translation file, brought up to date with the sources as the translation tool would, has
// no unfinished or missing entry, and every translation keeps the placeholders of its source.
void LanguageTest::translationFileIsFinished() {
  QTemporaryDir work;
  const QString ts = work.filePath(QStringLiteral("check.ts"));
  QVERIFY(QFile::copy(QStringLiteral(MIRALTO_TS_FILE), ts));
  QFile::setPermissions(ts, QFile::ReadOwner | QFile::WriteOwner);
  QStringList arguments =
      QString::fromUtf8(MIRALTO_LUPDATE_ARGUMENTS).split('|', Qt::SkipEmptyParts);
  arguments << QStringLiteral("-no-obsolete") << QStringLiteral("-ts") << ts;
  QProcess lupdate;
  lupdate.start(QStringLiteral(MIRALTO_LUPDATE), arguments);
  QVERIFY(lupdate.waitForFinished(120000));
  QVERIFY2(lupdate.exitCode() == 0, lupdate.readAllStandardError().constData());

  QFile file(ts);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QString source;
  int messages = 0;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == QStringLiteral("source")) {
      source = xml.readElementText();
    } else if (xml.name() == QStringLiteral("translation")) {
      const QString type = xml.attributes().value(QStringLiteral("type")).toString();
      const QString translation = xml.readElementText();
      ++messages;
      QVERIFY2(type.isEmpty() && !translation.isEmpty(),
               qPrintable("no finished translation of: " + source));
      QVERIFY2(Placeholders(translation) == Placeholders(source),
               qPrintable("placeholders differ: " + source + " / " + translation));
    }
  }
  QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
  QVERIFY(messages > 0);
}

// The language the environment picks, as the program starts: run with LANG set and
// MIRALTO_EXPECTED_LANGUAGE naming what it must give ("zh_CN", or "en" for English).
void LanguageTest::systemLanguage() {
  const QString expected = qEnvironmentVariable("MIRALTO_EXPECTED_LANGUAGE");
  if (expected.isEmpty()) QSKIP("run with MIRALTO_EXPECTED_LANGUAGE and LANG set");
  const QString suffix = miralto::ui::InstallTranslations(*qApp);
  QCOMPARE(suffix.isEmpty() ? QStringLiteral("en") : suffix, expected);
  const QStringList reported = Press({QStringLiteral("Text3(0)=abc")}, QStringLiteral("Command3"));
  QCOMPARE(reported.size(), 2);
  if (expected == QStringLiteral("zh_CN")) {
    QCOMPARE(reported[0], QString::fromUtf8("转换错误"));
    QVERIFY2(reported[1].startsWith(QString::fromUtf8("经度（度）：“abc”")),
             qPrintable(reported[1]));
  } else {
    QCOMPARE(reported[0], QStringLiteral("conversion error"));
    QCOMPARE(reported[1], "longitude degrees: \"abc\"" + kEnglishNumberRule);
  }
}

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
