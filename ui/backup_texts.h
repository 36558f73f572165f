// The window's words around backups: the headings of the restore and comparison windows and
// the box of a verified restore.
#pragma once
#include <QString>

namespace orvu {

// controller: its name; file: the path.
QString RestoreRefusedHeading(const QString& file, const QString& controller);
QString RestoreNothingHeading(const QString& file, const QString& controller);
// fromController: the controller the file was taken from, when another one.
QString RestoreChangesHeading(const QString& file, const QString& controller,
                              const QString& fromController);
QString RestoreVerifiedText(const QString& controller);
// The two sides compared; equal: "Bez różnic".
QString ComparisonHeading(const QString& fileSide, const QString& controllerSide, bool equal);

}  // namespace orvu
