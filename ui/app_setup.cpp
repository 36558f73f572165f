#include "ui/app_setup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/fonts.h"

namespace orvu {

bool SetUpApplication(QApplication& app) {
  QApplication::setFont(DefaultFont());
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_pl"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

}  // namespace orvu
