#include "ui/whelp.h"

#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <vector>

namespace orvu {
namespace {

struct PageCase {
  int index;
  const char16_t* caption;
  const char16_t* firstHeading;
};

const PageCase kPageCases[] = {
    {0, u"Okno Ethernet", u"Tryby serwisowe kontrolera"},
    {1, u"Okno kontrolera", u"Okno wybranego kontrolera"},
    {2, u"Okno Przejścia", u"Koncepcja konfigurowalnych połączeń"},
};

QString FirstBlockText(const THelpWin& win) {
  return win.HelpEdit->document()->firstBlock().text();
}

TEST(HelpWin, EmptyUntilTheFirstPageIsAsked) {
  THelpWin win;
  EXPECT_EQ(win.CurrentPage(), -1);
  EXPECT_TRUE(win.HelpEdit->toPlainText().isEmpty());
  win.SetPage(3);
  win.SetPage(-1);
  EXPECT_EQ(win.CurrentPage(), -1);
  EXPECT_TRUE(win.HelpEdit->toPlainText().isEmpty());
}

TEST(HelpWin, EachPageHasItsCaptionAndOpensWithItsStyledFirstHeading) {
  THelpWin win;
  for (const PageCase& c : kPageCases) {
    SCOPED_TRACE(c.index);
    win.SetPage(c.index);
    EXPECT_EQ(win.CurrentPage(), c.index);
    EXPECT_EQ(win.windowTitle(), QString::fromUtf16(c.caption));
    EXPECT_EQ(FirstBlockText(win), QString::fromUtf16(c.firstHeading));
    const QTextCharFormat heading = win.HelpEdit->document()->firstBlock().charFormat();
    EXPECT_EQ(heading.fontPointSize(), 16.0);
    EXPECT_GE(heading.fontWeight(), QFont::Bold);
  }
}

TEST(HelpWin, SamePageAgainKeepsItsPlaceAnotherPageStartsAtTheTop) {
  THelpWin win;
  win.show();
  win.SetPage(2);
  QScrollBar* bar = win.HelpEdit->verticalScrollBar();
  ASSERT_GT(bar->maximum(), 0) << "the page must be longer than the window";
  bar->setValue(bar->maximum() / 2);
  const int place = bar->value();

  win.SetPage(2);
  EXPECT_EQ(bar->value(), place);

  win.SetPage(0);
  EXPECT_EQ(win.windowTitle(), QStringLiteral("Okno Ethernet"));
  EXPECT_EQ(bar->value(), 0);
  win.SetPage(2);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(FirstBlockText(win), QStringLiteral("Koncepcja konfigurowalnych połączeń"));
}

TEST(HelpWin, ViewCannotBeEdited) {
  THelpWin win;
  win.show();
  win.SetPage(1);
  const QString before = win.HelpEdit->toPlainText();
  win.HelpEdit->setFocus();
  win.HelpEdit->selectAll();
  QTest::keyClicks(win.HelpEdit->viewport(), "abc");
  QTest::keyClick(win.HelpEdit->viewport(), Qt::Key_Delete);
  QTest::keyClick(win.HelpEdit->viewport(), Qt::Key_Backspace);
  QTest::keyClick(win.HelpEdit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_TRUE(win.HelpEdit->isReadOnly());
  EXPECT_EQ(win.HelpEdit->toPlainText(), before);
}

// The headings of each page and the sentences its readers are told word for word.
TEST(HelpWin, PagesHoldTheirHeadingsAndSentences) {
  const struct {
    int page;
    std::vector<const char16_t*> texts;
  } pages[] = {
      {0,
       {u"Tryby serwisowe kontrolera", u"Instalacja", u"Serwis", u"Konfiguracja", u"Blokada",
        u"Inne urządzenia",
        u"Klawisz www pozwala otworzyć stronę wybranego urządzenia w standardowej przeglądarce "
        u"systemu.",
        u"Nawiązanie przez kontroler połączenia z serwerem systemu orvunet powoduje automatyczne "
        u"przejście do trybu Blokada.",
        u"Po wyjściu z trybu Instalacja nie ma już do niego powrotu.",
        u"Serwis urządzeń orvuBUS", u"Zmień tryb", u"orvuQ46"}},
      {1,
       {u"Okno wybranego kontrolera", u"Lista urządzeń magistrali orvuBUS",
        u"Usuwanie urządzeń trwale odłączonych", u"Wymiana uszkodzonego urządzenia",
        u"Sam kontroler również jest umieszczony na pierwszej pozycji tej listy, gdyż też posiada "
        u"wejścia i wyjścia podlegające przypisaniu podczas konfiguracji.",
        u"Lista jest automatycznie aktualizowana po każdej zmianie na magistrali orvuBUS.",
        u"do kontrolera można podłączyć do 100 urządzeń", u"Usuń nieaktywne",
        u"Klawisz ten usuwa wszystkie urządzenia z którymi w danym momencie kontroler nie ma "
        u"połączenia.",
        u"Zastępowanie", u"Zastąp", u"Oznaczenie to znika po kilku sekundach.",
        u"Wpisanie konfiguracji przejść do kontrolera oznacza akceptację listy urządzeń."}},
      {2,
       {u"Koncepcja konfigurowalnych połączeń", u"Konfiguracja połączeń", u"Wyjścia",
        u"Wejścia", u"Czytniki", u"Śluzy", u"Zapis konfiguracji", u"Raport",
        u"Testowanie instalacji", u"Flagi", u"Rodzaj przejścia", u"Czasy", u"Wyjścia CCTV",
        u"rygiel i czujnik otwarcia danego przejścia muszą być podłączone do tego samego "
        u"urządzenia.",
        u"Program uniemożliwia przypisanie jednego wejścia/wyjścia do różnych funkcji i pilnuje, "
        u"aby rygiel i czujnik otwarcia były przypisane do jednego urządzenia.",
        u"Pozostawienie danej funkcji przejścia bez przypisania żadnego elementu oznacza, że nie "
        u"jest ona wykorzystywana.",
        u"Rygiel - ", u"Przypomnienie - ", u"Alarm - ", u"CCTV - ",
        u"Wyjście (Alarm, CCTV) przypisane do kilku przejść ma jedną flagę NC - można ją ustawić "
        u"w dowolnym z przejść, a w pozostałych będzie miała ten sam stan.",
        u"Czujnik otwarcia - ", u"Przycisk wyjścia - ", u"Czujka alarmowa - ", u"Sabotaż - ",
        u"Z przejściem mogą być związane 4 czytniki.",
        u"Wszystkie przejścia którym przypisano ten sam numer śluzy stanowią jedną śluzę "
        u"(kontroler pozwoli otworzyć jedno z nich tylko wtedy, gdy wszystkie pozostałe są "
        u"zamknięte).",
        u"Dopóki konfiguracja nie zostanie zapisana możliwy jest powrót do jej stanu wyjściowego "
        u"poprzez ponowne wybranie danego kontrolera w oknie Ethernet.",
        u"Sugerowana przez program nazwa pliku zawiera datę wykonania raportu oraz typ i numer "
        u"kontrolera.",
        u"Otwieranie klamką - ", u"Pełny impuls rygla - ", u"Otwarte - ", u"Normalne - ",
        u"Bistabilne - ", u"Astabilne - ", u"Zablokowane - ", u"orvuQ46"}},
  };
  THelpWin win;
  for (const auto& p : pages) {
    win.SetPage(p.page);
    const QString text = win.HelpEdit->toPlainText().simplified();
    for (const char16_t* wanted : p.texts) {
      EXPECT_TRUE(text.contains(QString::fromUtf16(wanted)))
          << "page " << p.page << " lacks: " << QString::fromUtf16(wanted).toStdString();
    }
  }
}

}  // namespace
}  // namespace orvu
