#include "ui/main_window.h"

#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <limits>

#include "ui/language.h"
#include "ui/layout.h"

namespace miralto::ui {

namespace {

// A button that Enter, like Space, presses while it has the focus; outside a dialog a plain
// QPushButton ignores Enter.
class Button : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      click();
      return;
    }
    QPushButton::keyPressEvent(event);
  }
};

QFont WindowFont() {
  QFont font = QFontDatabase::families().contains(QStringLiteral("Tahoma"))
                   ? QFont(QStringLiteral("Tahoma"))
                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPointSize(9);
  font.setWeight(QFont::Normal);
  return font;
}

QRect QtRect(const form::Rect& place) { return {place.left, place.top, place.width, place.height}; }

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MainWindow::MainWindow(std::filesystem::path directory, ErrorReporter reporter, QWidget* parent)
    : MainWindow(std::move(directory), std::move(reporter), {}, parent) {}

MainWindow::MainWindow(std::filesystem::path directory, ErrorReporter reporter,
                       const std::function<void(MainWindow&)>& before_start, QWidget* parent)
    : QWidget(parent),
      store_(std::move(directory)),
      reporter_(std::move(reporter)),
      model_(store_, *this) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Miralto"));
  setFont(WindowFont());
  setFixedSize(kClientWidth, kClientHeight);
  CreateControls();
  if (before_start) before_start(*this);
  model_.Form_Load();
  starting_ = false;
}

void MainWindow::CreateControls() {
  QWidget* previous = nullptr;
  for (const ControlSpec& row : kControls) {
    QWidget* control = nullptr;
    const QString text = QString::fromUtf8(row.text);
    const QString role = Q(form::RoleText(row, InstalledLanguage()));
    // Captions are the same in every language.
    switch (row.kind) {
      case ControlKind::kLabel: {
        auto* label = new QLabel(text, this);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        control = label;
        break;
      }
      case ControlKind::kTextBox: {
        auto* box = new QLineEdit(text, this);
        box->setMaxLength(std::numeric_limits<int>::max());  // no length limit
        box->setAccessibleName(role);
        control = box;
        break;
      }
      case ControlKind::kButton: {
        auto* button = new Button(text, this);
        button->setAutoDefault(false);
        button->setDefault(false);
        button->setFocusPolicy(Qt::StrongFocus);  // Tab stops on buttons on macOS too
        button->setAccessibleName(role);
        control = button;
        break;
      }
    }
    control->setObjectName(QString::fromUtf8(row.name));
    control->setGeometry(QtRect(form::Pixels(row)));
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
      // What the user types (or a test sets) is the model's text before any click reads it.
      connect(box, &QLineEdit::textChanged, this, [this, name = row.name](const QString& text) {
        model_.SetText(name, text.toStdString());
      });
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
      connect(button, &QPushButton::clicked, this,
              [this, click = form::HandlerOf(row.name)] { (model_.*click)(); });
    }
    if (control->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) setTabOrder(previous, control);
      previous = control;
    }
  }

  FitLabels();

  findChild<QLineEdit*>(QStringLiteral("Text3(0)"))->setFocus();
}

// A caption is never cut: each label takes the place and the inset the form gives its caption's
// width (the size hint, measured while the label has no margins).
void MainWindow::FitLabels() {
  for (const ControlSpec& row : kControls) {
    if (row.kind != ControlKind::kLabel) continue;
    auto* label = findChild<QLabel*>(Q(row.name), Qt::FindDirectChildrenOnly);
    const form::LabelFit fit = form::FitLabel(row, label->sizeHint().width());
    label->setContentsMargins(fit.inset, 0, 0, 0);
    label->setGeometry(QtRect(fit.place));
  }
}

QLineEdit* MainWindow::Box(std::string_view name) const {
  return findChild<QLineEdit*>(Q(name), Qt::FindDirectChildrenOnly);
}

void MainWindow::ShowText(std::string_view control, const std::string& text) {
  const QString shown = Q(text);
  if (QLineEdit* box = Box(control)) box->setText(shown);
  emit textShown(Q(control), shown);
}

// A failure of the start-up step waits until the window has appeared, so that the message stands
// over it.
void MainWindow::ShowFailure(const form::Failure& failure) {
  if (starting_) {
    startup_failure_ = failure;
  } else {
    Report(failure);
  }
}

void MainWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (startup_failure_) {
    QTimer::singleShot(0, this, [this, failure = *startup_failure_] { Report(failure); });
    startup_failure_.reset();
  }
}

void MainWindow::Report(const form::Failure& failure) {
  const form::Language language = InstalledLanguage();
  reporter_(this, Q(form::FailureTitle(failure, language)),
            Q(form::FailureDetail(failure, language)));
}

void MainWindow::ShowMessageBox(QWidget* window, const QString& kind, const QString& detail) {
  QMessageBox::critical(
      window, QStringLiteral("Miralto"),
      Q(form::MessageBoxText(kind.toStdString(), detail.toStdString(), InstalledLanguage())));
}

}  // namespace miralto::ui
