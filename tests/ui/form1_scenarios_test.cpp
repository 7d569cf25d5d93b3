// The window scenarios of the form model (tests/form/scenarios.json) played on the Qt window, by
// its boxes and buttons, once in English and once in Chinese.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

#include "tests/form/scenario_player.h"
#include "ui/language.h"
#include "ui/main_window.h"

using miralto::ui::MainWindow;
namespace scenarios = miralto::scenarios;
namespace form = miralto::form;

namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

class QtWindow : public scenarios::ScenarioWindow {
 public:
  explicit QtWindow(form::Language language) : language_(language) {}

  void Start(const std::filesystem::path& directory) override {
    window_.reset();
    Forget();
    const auto report = [this](QWidget*, const QString& kind, const QString& detail) {
      reported_.emplace_back(kind.toStdString(), detail.toStdString());
    };
    window_ = std::make_unique<MainWindow>(directory, report, [this](MainWindow& window) {
      QObject::connect(&window, &MainWindow::textShown,
                       [this](const QString& control, const QString& text) {
                         writes_.emplace_back(control.toStdString(), text.toStdString());
                       });
    });
    window_->show();
    // A failed start-up is told once the window has appeared.
    QTest::qWait(10);
  }
  void Set(std::string_view control, std::string_view text) override {
    Box(control)->setText(Q(text));
  }
  void Click(std::string_view command) override {
    Forget();
    QTest::mouseClick(window_->findChild<QPushButton*>(Q(command)), Qt::LeftButton);
  }
  std::string Text(std::string_view control) override { return Box(control)->text().toStdString(); }
  std::vector<std::pair<std::string, std::string>> Writes() override { return writes_; }
  std::vector<scenarios::Reported> Failures() override {
    std::vector<scenarios::Reported> failures;
    for (const auto& [kind, detail] : reported_) {
      const std::string text = form::MessageBoxText(kind, detail, language_);
      if (language_ == form::Language::kEnglish) {
        failures.push_back({kind, text, std::nullopt});
      } else {
        failures.push_back({std::nullopt, std::nullopt, text});
      }
    }
    return failures;
  }
  std::optional<miralto::Corrections> Values() override { return window_->corrections(); }

 private:
  QLineEdit* Box(std::string_view name) { return window_->findChild<QLineEdit*>(Q(name)); }
  void Forget() {
    writes_.clear();
    reported_.clear();
  }

  form::Language language_;
  std::unique_ptr<MainWindow> window_;
  std::vector<std::pair<std::string, std::string>> writes_;
  std::vector<std::pair<std::string, std::string>> reported_;  // kind, detail
};

}  // namespace

class Form1ScenariosTest : public QObject {
  Q_OBJECT

 private slots:
  void cleanup() { miralto::ui::InstallTranslations(*qApp, QLocale(QLocale::English)); }
  void playsAsWritten_data();
  void playsAsWritten();
};

void Form1ScenariosTest::playsAsWritten_data() {
  QTest::addColumn<int>("index");
  QTest::addColumn<QString>("locale");
  const nlohmann::json table = scenarios::LoadScenarios(MIRALTO_FORM_SCENARIOS);
  for (std::size_t i = 0; i < table.size(); ++i) {
    const std::string name = table[i].at("name");
    for (const char* locale : {"en_US", "zh_CN"}) {
      QTest::addRow("%s, %s", name.c_str(), locale) << static_cast<int>(i) << locale;
    }
  }
}

void Form1ScenariosTest::playsAsWritten() {
  QFETCH(int, index);
  QFETCH(QString, locale);
  const QString suffix = miralto::ui::InstallTranslations(*qApp, QLocale(locale));
  const nlohmann::json table = scenarios::LoadScenarios(MIRALTO_FORM_SCENARIOS);
  scenarios::TemporaryFolder folder;
  QtWindow window(suffix.isEmpty() ? form::Language::kEnglish : form::Language::kChinese);
  const std::vector<std::string> differences =
      scenarios::Play(table.at(static_cast<std::size_t>(index)), window, folder.path());
  std::string all;
  for (const std::string& difference : differences) all += difference + "\n";
  QVERIFY2(differences.empty(), all.c_str());
}

QTEST_MAIN(Form1ScenariosTest)
#include "form1_scenarios_test.moc"
