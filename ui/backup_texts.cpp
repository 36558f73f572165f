#include "ui/backup_texts.h"

namespace orvu {

QString RestoreRefusedHeading(const QString& file, const QString& controller) {
  return QStringLiteral("Kopii z pliku „%1” nie można przywrócić do kontrolera %2 - nic nie "
                        "zostanie zapisane:")
      .arg(file, controller);
}

QString RestoreNothingHeading(const QString& file, const QString& controller) {
  return QStringLiteral("Kontroler %2 ma już przejścia z pliku „%1” - nie ma czego zapisać.")
      .arg(file, controller);
}

QString RestoreChangesHeading(const QString& file, const QString& controller,
                              const QString& fromController) {
  QString heading;
  if (!fromController.isEmpty())
    heading = QStringLiteral("Plik pochodzi z kontrolera %1; %2 zajmie jego miejsce (jego "
                             "wyjścia, wejścia i czytniki zastąpią tamte).\n")
                  .arg(fromController, controller);
  return heading + QStringLiteral("Zmiany w kontrolerze %2 według pliku „%1” (stare -> nowe):")
                       .arg(file, controller);
}

QString RestoreVerifiedText(const QString& controller) {
  return QStringLiteral("Przywrócono i sprawdzono: kontroler %1 ma przejścia z kopii ustawień.")
      .arg(controller);
}

QString ComparisonHeading(const QString& fileSide, const QString& controllerSide, bool equal) {
  const QString sides = QStringLiteral("A: %1\nB: %2").arg(fileSide, controllerSide);
  return equal ? QStringLiteral("Bez różnic\n\n") + sides : sides;
}

}  // namespace orvu
