#include "form1.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <limits>

#include "angle_forms.h"
#include "comparison.h"
#include "correction_file.h"
#include "errors.h"
#include "layout.h"

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

QRect PixelPlace(const ControlSpec& row) {
  const form::Rect place = form::Pixels(row);
  return {place.left, place.top, place.width, place.height};
}

std::string Std(const QString& text) { return text.toStdString(); }
QString Q(const std::string& text) { return QString::fromStdString(text); }

// The message table's texts in the language of the installed translation (English without one).
std::string Translated(MessageId id) {
  // The table's English texts are literals, so the view ends in a null character.
  return Std(QCoreApplication::translate(kMessageContext.data(), EnglishPattern(id).data()));
}

}  // namespace

Form1::Form1(std::filesystem::path directory, ErrorReporter reporter, QWidget* parent)
    : QWidget(parent), directory_(std::move(directory)), reporter_(std::move(reporter)) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Miralto"));
  setFont(WindowFont());
  setFixedSize(kClientWidth, kClientHeight);
  CreateControls();
  try {
    Form_Load();
  } catch (...) {
    startup_failure_ = std::current_exception();
  }
}

void Form1::CreateControls() {
  QWidget* previous = nullptr;
  for (const ControlSpec& row : kControls) {
    QWidget* control = nullptr;
    const QString text = QString::fromUtf8(row.text);
    const QString role = QCoreApplication::translate("Form1", row.role);
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
    control->setGeometry(PixelPlace(row));
    if (control->focusPolicy() != Qt::NoFocus) {
      if (previous != nullptr) setTabOrder(previous, control);
      previous = control;
    }
  }

  WidenLabels();

  const std::pair<const char*, void (Form1::*)()> wiring[] = {
      {"Command1", &Form1::Command1_Click}, {"Command2", &Form1::Command2_Click},
      {"Command3", &Form1::Command3_Click}, {"Command4", &Form1::Command4_Click},
      {"Command5", &Form1::Command5_Click}, {"Command6", &Form1::Command6_Click}};
  for (const auto& [name, handler] : wiring) {
    auto* button = findChild<QPushButton*>(QString::fromUtf8(name));
    connect(button, &QPushButton::clicked, this, [this, handler = handler] { Run(handler); });
  }
  findChild<QLineEdit*>(QStringLiteral("Text3(0)"))->setFocus();
}

namespace {

form::Rect FormRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

}  // namespace

QRect WidenedPlace(const QRect& designed, int needed, const QList<QRect>& obstacles,
                   int client_width) {
  std::vector<form::Rect> others;
  others.reserve(static_cast<std::size_t>(obstacles.size()));
  for (const QRect& other : obstacles) others.push_back(FormRect(other));
  const form::Rect place = form::WidenedPlace(FormRect(designed), needed, others, client_width);
  return {place.left, place.top, place.width, place.height};
}

// A caption is never cut. A label that the table starts left of the client area keeps its place
// but starts its caption at the client area's edge; one whose caption needs more room than its
// place grows (WidenedPlace).
void Form1::WidenLabels() {
  QList<QRect> obstacles;
  for (const QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (qobject_cast<const QLabel*>(control) == nullptr) obstacles << control->geometry();
  }
  for (QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    const QRect designed = label->geometry();
    label->setContentsMargins(std::max(0, -designed.left()), 0, 0, 0);
    label->setGeometry(WidenedPlace(designed, label->sizeHint().width(), obstacles, kClientWidth));
  }
}

QLineEdit* Form1::Text(const char* name) const {
  return findChild<QLineEdit*>(QString::fromUtf8(name), Qt::FindDirectChildrenOnly);
}

void Form1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (startup_failure_) {
    // After the window has appeared, so that the message stands over it.
    QTimer::singleShot(0, this, [this, failure = startup_failure_] { Report(failure); });
    startup_failure_ = nullptr;
  }
}

void Form1::Run(void (Form1::*handler)()) {
  try {
    (this->*handler)();
  } catch (...) {
    Report(std::current_exception());
  }
}

void Form1::Report(const std::exception_ptr& failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const Error& error) {
    reporter_(this, Q(Translated(KindMessage(error.kind()))), Q(error.DetailIn(Translated)));
  } catch (const std::bad_alloc&) {
    reporter_(this, tr("out of memory"), tr("the operation needs more memory than is free"));
  } catch (const std::exception& error) {
    reporter_(this, tr("error"), Q(error.what()));
  }
}

void Form1::ShowMessageBox(QWidget* window, const QString& kind, const QString& detail) {
  QString capitalised = kind;
  if (!capitalised.isEmpty()) capitalised[0] = capitalised[0].toUpper();
  QMessageBox::critical(window, QStringLiteral("Miralto"), tr("%1:\n%2").arg(capitalised, detail));
}

// Start-up: the correction file's lines, as far as they could be read; then the failure, if any.
void Form1::Form_Load() {
  const CorrectionLoad load = LoadCorrections(directory_);
  if (load.lines.size() > 0) {
    CorrectionLon = load.lines[0].value;
    Text("Text7(0)")->setText(Q(load.lines[0].text));
  }
  if (load.lines.size() > 1) {
    CorrectionLat = load.lines[1].value;
    Text("Text7(1)")->setText(Q(load.lines[1].text));
  }
  if (load.failure) std::rethrow_exception(load.failure);
}

// "↑": the longitude is written before the latitude is read.
void Form1::Command1_Click() {
  const DmsTexts lon = DecimalToDms(Std(Text("Text1(0)")->text()));
  Text("Text3(0)")->setText(Q(lon.degrees));
  Text("Text3(1)")->setText(Q(lon.minutes));
  Text("Text3(2)")->setText(Q(lon.seconds));
  const DmsTexts lat = DecimalToDms(Std(Text("Text1(1)")->text()));
  Text("Text3(3)")->setText(Q(lat.degrees));
  Text("Text3(4)")->setText(Q(lat.minutes));
  Text("Text3(5)")->setText(Q(lat.seconds));
}

// "↓": a failure in the latitude leaves the new longitude written.
void Form1::Command2_Click() {
  Text("Text1(0)")
      ->setText(Q(DmsToDecimal({Std(Text("Text3(0)")->text()), Std(Text("Text3(1)")->text()),
                                Std(Text("Text3(2)")->text())},
                               "longitude")));
  Text("Text1(1)")
      ->setText(Q(DmsToDecimal({Std(Text("Text3(3)")->text()), Std(Text("Text3(4)")->text()),
                                Std(Text("Text3(5)")->text())},
                               "latitude")));
}

// "→"
void Form1::Command3_Click() {
  const PositionTexts fields{
      {Std(Text("Text3(0)")->text()), Std(Text("Text3(1)")->text()), Std(Text("Text3(2)")->text())},
      {Std(Text("Text3(3)")->text()), Std(Text("Text3(4)")->text()),
       Std(Text("Text3(5)")->text())}};
  Text("Text4")->setText(Q(EncodePosition(fields, {CorrectionLon, CorrectionLat})));
}

// "←": all six texts are computed before the first is written.
void Form1::Command4_Click() {
  const PositionTexts p =
      DecodePosition(Std(Text("Text4")->text()), {CorrectionLon, CorrectionLat});
  Text("Text3(0)")->setText(Q(p.lon.degrees));
  Text("Text3(1)")->setText(Q(p.lon.minutes));
  Text("Text3(2)")->setText(Q(p.lon.seconds));
  Text("Text3(3)")->setText(Q(p.lat.degrees));
  Text("Text3(4)")->setText(Q(p.lat.minutes));
  Text("Text3(5)")->setText(Q(p.lat.seconds));
}

// "计算差值"
void Form1::Command5_Click() {
  const CodeDifference d = CompareCodes(Std(Text("Text4")->text()), Std(Text("Text2")->text()));
  Text("Text6")->setText(Q(d.lat));
  Text("Text5")->setText(Q(d.lon));
}

// "修正误差": the file first, then the values; a failure changes neither.
void Form1::Command6_Click() {
  const Corrections values =
      SaveCorrections(directory_, Std(Text("Text7(0)")->text()), Std(Text("Text7(1)")->text()));
  CorrectionLon = values.lon;
  CorrectionLat = values.lat;
}

}  // namespace miralto::ui
