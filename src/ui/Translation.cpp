#include "ui/Translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace zorvan {

bool InstallRussianTranslation(QCoreApplication& app) {
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  QLocale::setDefault(russian);
  // Owned by the application: it must live as long as texts are translated.
  auto* translator = new QTranslator(&app);
  if (!translator->load(russian, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace zorvan
