// The main window: fields, six buttons and the correction values. The handlers only read fields,
// call the conversion core or the correction store, and write fields in their fixed order.
#pragma once

#include <QWidget>

#include <exception>
#include <filesystem>
#include <functional>

#include "position_code.h"

class QLineEdit;
class QPushButton;

namespace miralto::ui {

class Form1 : public QWidget {
  Q_OBJECT

 public:
  // Shows a failure to the user: the kind of error ("conversion error") and its detail.
  using ErrorReporter =
      std::function<void(QWidget* window, const QString& kind, const QString& detail)>;

  // A modal message box titled "Miralto".
  static void ShowMessageBox(QWidget* window, const QString& kind, const QString& detail);

  // `directory` holds the correction file; the application passes CorrectionDirectory().
  explicit Form1(std::filesystem::path directory, ErrorReporter reporter = ShowMessageBox,
                 QWidget* parent = nullptr);

  Corrections corrections() const { return {CorrectionLon, CorrectionLat}; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void WidenLabels();
  QLineEdit* Text(const char* name) const;

  // Runs a handler; a failure stops it where it happened and is reported.
  void Run(void (Form1::*handler)());
  void Report(const std::exception_ptr& failure);

  void Form_Load();
  void Command1_Click();
  void Command2_Click();
  void Command3_Click();
  void Command4_Click();
  void Command5_Click();
  void Command6_Click();

  std::filesystem::path directory_;
  ErrorReporter reporter_;
  std::exception_ptr startup_failure_;  // shown once the window is visible
  Long CorrectionLon = 0;
  Long CorrectionLat = 0;
};

}  // namespace miralto::ui
