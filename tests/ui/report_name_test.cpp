#include "ui/report_name.h"

#include <gtest/gtest.h>

#include "ui/save_dialog.h"

namespace orvu {
namespace {

TEST(ReportName, DateSeparatorOfTheLocaleMadeSafeForFileNames) {
  const struct {
    const char* locale;
    char16_t separator;
  } cases[] = {
      {"pl_PL", u'.'},  // dd.MM.yyyy
      {"de_DE", u'.'},
      {"sv_SE", u'-'},  // yyyy-MM-dd
      {"en_US", u'-'},  // M/d/yy: '/' cannot stand in a file name
      {"en_GB", u'-'},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.locale);
    EXPECT_EQ(FileDateSeparator(QLocale(QString::fromLatin1(c.locale))), QChar(c.separator));
  }
}

TEST(ReportName, YearMonthDayThenControllerName) {
  EXPECT_EQ(ReportFileName(QDate(2024, 5, 7), u'-', "K46_00125"),
            QStringLiteral("2024-05-07 K46_00125"));
  EXPECT_EQ(ReportFileName(QDate(2024, 12, 31), u'.', "K46_65535"),
            QStringLiteral("2024.12.31 K46_65535"));
}

TEST(ReportName, DefaultSuffixOnlyForNamesWithoutExtension) {
  const struct {
    const char* typed;
    const char* saved;
  } cases[] = {
      {"/r/2024-05-07 K46_00125", "/r/2024-05-07 K46_00125.txt"},
      // The dots of the date are no extension.
      {"/r/2024.05.07 K46_00125", "/r/2024.05.07 K46_00125.txt"},
      {"/r.d/raport", "/r.d/raport.txt"},
      {"/r/raport.", "/r/raport.txt"},
      {"/r/raport.txt", "/r/raport.txt"},
      {"/r/raport.TXT", "/r/raport.TXT"},
      {"/r/raport.log", "/r/raport.log"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WithReportSuffix(QString::fromUtf8(c.typed)), QString::fromUtf8(c.saved)) << c.typed;
  }
}

}  // namespace
}  // namespace orvu
