// The file name the "Raport" action proposes: the local date and the controller's name.
#pragma once
#include <QChar>
#include <QDate>
#include <QLocale>
#include <QString>
#include <string>

namespace orvu {

// The date separator of the locale's short date format; one that cannot stand in a file
// name ('/', '\'), or none at all, becomes '-'.
QChar FileDateSeparator(const QLocale& locale);

// "yyyy<sep>mm<sep>dd <controller name>", e.g. 2024-05-07 K46_00125; controllerName is
// Windows-1250 text.
QString ReportFileName(QDate date, QChar separator, const std::string& controllerName);

}  // namespace orvu
