// The main window as Qt draws it: the controls of the control table, with every click and typed
// text forwarded to the form model (form/form1.h), which decides what is written where; the window
// shows the texts the model writes and tells the user of its failures.
#pragma once

#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

#include "form/form1.h"

class QLineEdit;

namespace miralto::ui {

class MainWindow : public QWidget, private form::FormView {
  Q_OBJECT

 public:
  // Shows a failure to the user: the kind of error ("conversion error") and its detail, both in
  // the language InstallTranslations chose.
  using ErrorReporter =
      std::function<void(QWidget* window, const QString& kind, const QString& detail)>;

  // A modal message box titled "Miralto".
  static void ShowMessageBox(QWidget* window, const QString& kind, const QString& detail);

  // `directory` holds the correction file; the application passes CorrectionDirectory().
  explicit MainWindow(std::filesystem::path directory, ErrorReporter reporter = ShowMessageBox,
                      QWidget* parent = nullptr);
  // The same, calling `before_start` with the window once its controls exist and before its
  // start-up step runs: a caller connected to textShown there sees the start-up's writes too.
  MainWindow(std::filesystem::path directory, ErrorReporter reporter,
             const std::function<void(MainWindow&)>& before_start, QWidget* parent = nullptr);

  Corrections corrections() const { return model_.corrections(); }

 signals:
  // The model wrote `text` into the box `control`, even where the box held that text already.
  void textShown(const QString& control, const QString& text);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void CreateControls();
  void FitLabels();
  QLineEdit* Box(std::string_view name) const;

  void ShowText(std::string_view control, const std::string& text) override;
  void ShowFailure(const form::Failure& failure) override;
  void Report(const form::Failure& failure);

  form::FileCorrectionStore store_;
  ErrorReporter reporter_;
  form::Form1 model_;
  bool starting_ = true;
  std::optional<form::Failure> startup_failure_;  // shown once the window is visible
};

}  // namespace miralto::ui
