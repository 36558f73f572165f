#include "ui/report_name.h"

#include "ui/qtext.h"

namespace orvu {

QChar FileDateSeparator(const QLocale& locale) {
  const QString format = locale.dateFormat(QLocale::ShortFormat);
  for (const QChar c : format) {
    if (c.isLetter() || c.isSpace()) continue;
    // A quote opens literal text in a Qt date format; it is no separator.
    if (c == u'/' || c == u'\\' || c == u'\'' || !c.isPrint()) return u'-';
    return c;
  }
  return u'-';
}

QString ReportFileName(QDate date, QChar separator, const std::string& controllerName) {
  const auto twoDigits = [](int n) { return QString::number(n).rightJustified(2, u'0'); };
  return QString::number(date.year()) + separator + twoDigits(date.month()) + separator +
         twoDigits(date.day()) + u' ' + QtText(controllerName);
}

}  // namespace orvu
