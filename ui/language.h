// The language the window speaks: Simplified Chinese where the system's language is Chinese,
// English (the language of the texts in the code) otherwise.
#pragma once

#include <QLocale>
#include <QString>

#include "form/form1.h"

class QCoreApplication;

namespace miralto::ui {

// A language the window has translations for: the system languages it serves and the suffix of
// its translation files ("miralto_zh_CN.qm", and Qt's own "qtbase_zh_CN.qm").
struct Language {
  QLocale::Language language;
  const char* suffix;
};

// The first of `locale`'s user-interface languages that the window speaks, or null for English.
const Language* ChooseLanguage(const QLocale& locale);

// Installs into `app` the window's translations and Qt's own (the message box's buttons) for the
// language ChooseLanguage picks, replacing any installed before. Returns the suffix installed,
// empty for English. Call it before the window is created.
QString InstallTranslations(QCoreApplication& app, const QLocale& locale = QLocale::system());

// The language of the window's own texts (failures, roles) that InstallTranslations chose last;
// English before any call.
form::Language InstalledLanguage();

}  // namespace miralto::ui
