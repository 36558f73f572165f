// Whether a box of the window says only what the window's texts say: every line before the
// details is a line of ui/error_texts (its placeholders standing for anything), and the
// system's own words stand on the last line alone, after "Szczegóły: ".
#pragma once
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "ui/error_texts.h"

namespace orvu::test {

inline bool IsKnownLine(const QString& line) {
  for (const QString& text : AllErrorTexts()) {
    for (const QString& known : text.split(QLatin1Char('\n'))) {
      QStringList pieces = known.split(QStringLiteral("%1"));
      for (QString& piece : pieces) piece = QRegularExpression::escape(piece);
      const QString pattern = pieces.join(QStringLiteral(".+"));
      if (QRegularExpression(QStringLiteral("\\A") + pattern + QStringLiteral("\\z")).match(line).hasMatch())
        return true;
    }
  }
  return false;
}

// systemWords: what the system said, which must appear on the details line and nowhere else.
inline testing::AssertionResult MadeOfKnownTexts(const QString& box, const QString& systemWords) {
  const QString lead = QStringLiteral("\n\nSzczegóły: ");
  const qsizetype details = box.lastIndexOf(lead);
  if (details < 0) return testing::AssertionFailure() << "no details line: " << box.toStdString();
  const QString detailsLine = box.mid(details + 2);
  if (detailsLine.contains(QLatin1Char('\n')))
    return testing::AssertionFailure() << "details are not the last line: " << box.toStdString();
  if (!detailsLine.contains(systemWords))
    return testing::AssertionFailure() << "details lack \"" << systemWords.toStdString() << "\": " << box.toStdString();
  const QString message = box.left(details);
  if (message.contains(systemWords))
    return testing::AssertionFailure() << "the system's words stand in the message: " << box.toStdString();
  for (const QString& line : message.split(QLatin1Char('\n'))) {
    if (!line.isEmpty() && !IsKnownLine(line))
      return testing::AssertionFailure() << "a line of no known text: \"" << line.toStdString() << "\"";
  }
  return testing::AssertionSuccess();
}

}  // namespace orvu::test
