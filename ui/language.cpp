#include "ui/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

#include <array>

namespace miralto::ui {

namespace {

// Every Chinese, traditional script included, reads the simplified translation better than English.
constexpr std::array<Language, 1> kLanguages{{{QLocale::Chinese, "zh_CN"}}};

// Names the translators this file installs, so that a second call replaces them.
const QString kTranslatorName = QStringLiteral("miralto-translation");

// Set with the translators, on the thread of the event loop, and read there.
form::Language installed_language = form::Language::kEnglish;

}  // namespace

const Language* ChooseLanguage(const QLocale& locale) {
  for (const QString& name : locale.uiLanguages()) {
    const QLocale::Language language = QLocale(name).language();
    if (language == QLocale::English) return nullptr;
    for (const Language& known : kLanguages) {
      if (known.language == language) return &known;
    }
  }
  return nullptr;
}

QString InstallTranslations(QCoreApplication& app, const QLocale& locale) {
  for (QTranslator* old : app.findChildren<QTranslator*>(kTranslatorName)) {
    QCoreApplication::removeTranslator(old);
    delete old;
  }
  const Language* language = ChooseLanguage(locale);
  installed_language = form::Language::kEnglish;
  if (language == nullptr) return {};
  const QString suffix = QString::fromLatin1(language->suffix);
  installed_language = form::LanguageOf(language->suffix);
  // Qt's own texts from the system's Qt, or from a "translations" folder beside the program where
  // Qt is shipped with it.
  const std::pair<QString, QStringList> files[] = {
      {QStringLiteral("miralto_") + suffix, {QStringLiteral(":/i18n")}},
      {QStringLiteral("qtbase_") + suffix,
       {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations"))}}};
  for (const auto& [file, directories] : files) {
    auto* translator = new QTranslator(&app);
    translator->setObjectName(kTranslatorName);
    bool loaded = false;
    for (const QString& directory : directories) {
      if ((loaded = translator->load(file, directory))) break;
    }
    if (loaded) {
      QCoreApplication::installTranslator(translator);
    } else {
      delete translator;
    }
  }
  return suffix;
}

form::Language InstalledLanguage() { return installed_language; }

}  // namespace miralto::ui
