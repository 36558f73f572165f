#include "ui/app_setup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "ui/fonts.h"

namespace orvu {

void SetUpApplication(QApplication& app) {
  QApplication::setFont(DefaultFont());
  // Sizes and dates in Qt's dialogs read as Polish too. The report's date separator follows
  // the system's own locale (QLocale::system), which this leaves alone.
  QLocale::setDefault(QLocale(QLocale::Polish, QLocale::Poland));
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral("qtbase_pl"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete translator;  // Qt's texts stay English; nothing else changes
    return;
  }
  QCoreApplication::installTranslator(translator);
}

}  // namespace orvu
