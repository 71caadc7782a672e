// InstallQtTranslations.
#include "qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace tessaly {

QTranslator* InstallQtTranslations(const QString& folder) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr) return nullptr;
  auto* translator = new QTranslator(app);
  // The interface is Chinese whatever the user's locale, so the catalogue
  // is named, not looked up by locale.
  const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), from) ||
      !QCoreApplication::installTranslator(translator)) {
    delete translator;
    return nullptr;
  }
  return translator;
}

}  // namespace tessaly
