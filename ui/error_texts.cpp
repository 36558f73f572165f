#include "ui/error_texts.h"

#include <array>

#include "comm/endpoint.h"

namespace orvu {
namespace {

const QString kDetails = QStringLiteral("Szczegóły: %1");
const QString kReportNotWritten = QStringLiteral("Nie udało się zapisać raportu w pliku:\n„%1”");
const QString kNoController =
    QStringLiteral("Brak wybranego kontrolera - raport nie został zapisany.\n"
                   "Wybierz kontroler na liście urządzeń i kliknij „Raport” jeszcze raz.");

const QString kPairGone =
    QStringLiteral("Wybrana para urządzeń nie jest już dostępna do zastąpienia.");
const QString kControllerChanged = QStringLiteral(
    "Wybrany kontroler zmienił się przed zapisem - konfiguracja nie została zapisana.");

constexpr size_t kCauses = static_cast<size_t>(FailureCause::kOther) + 1;

// Indexed by FailureCause.
const std::array<CauseWords, kCauses>& Words() {
  static const std::array<CauseWords, kCauses> words = {{
      // kPortHeld
      {QStringLiteral("Port UDP %1 jest zajęty przez inny program, najpewniej przez drugą "
                      "kopię orvuQ46 albo przez orvuq46-cli."),
       QStringLiteral("Zamknij tamten program. orvuQ46 połączy się sam, gdy port się zwolni, "
                      "i wtedy wyszuka urządzenia.")},
      // kNoNetwork
      {QStringLiteral("Brak sieci: komputer nie ma żadnego włączonego połączenia sieciowego, "
                      "przez które mógłby szukać urządzeń."),
       QStringLiteral("Podłącz kabel sieciowy albo włącz kartę sieciową lub Wi-Fi, a potem "
                      "kliknij „Przeszukaj sieć”.")},
      // kBroadcastRefused
      {QStringLiteral("System nie pozwolił wysłać zapytania, którym program szuka urządzeń w "
                      "sieci (rozgłoszenia UDP na port %1); zwykle blokuje je zapora sieciowa."),
       QStringLiteral("Zezwól programowi orvuQ46 na ruch UDP na porcie %1 w ustawieniach zapory, "
                      "a potem kliknij „Przeszukaj sieć”.")},
      // kNoPermission
      {QStringLiteral("Brak uprawnień do zapisu w tym folderze albo do tego pliku."),
       QStringLiteral("Zapisz raport w folderze, w którym możesz zapisywać (np. w Dokumentach), "
                      "albo poproś administratora o uprawnienia.")},
      // kDiskFull
      {QStringLiteral("Na dysku zabrakło miejsca."),
       QStringLiteral("Zwolnij miejsce na dysku albo zapisz raport na innym dysku.")},
      // kFolderMissing
      {QStringLiteral("Wybrany folder nie istnieje (mógł zostać usunięty, przeniesiony albo "
                      "odłączony)."),
       QStringLiteral("Wybierz istniejący folder i zapisz raport jeszcze raz.")},
      // kReadOnlyMedium
      {QStringLiteral("Nośnik jest tylko do odczytu (np. płyta CD albo pendrive z blokadą "
                      "zapisu)."),
       QStringLiteral("Zapisz raport na innym dysku.")},
      // kOther
      {QStringLiteral("Wystąpił nieoczekiwany błąd systemu."),
       QStringLiteral("Spróbuj jeszcze raz. Jeśli błąd się powtarza, uruchom program ponownie, "
                      "a szczegóły poniżej przekaż serwisowi.")},
  }};
  return words;
}

const CauseWords& OtherFileWords() {
  static const CauseWords words{
      QStringLiteral("System nie pozwolił zapisać tego pliku."),
      QStringLiteral("Wybierz inny folder albo inną nazwę pliku i zapisz raport jeszcze raz.")};
  return words;
}

bool IsFileCause(FailureCause cause) {
  return cause == FailureCause::kNoPermission || cause == FailureCause::kDiskFull ||
         cause == FailureCause::kFolderMissing || cause == FailureCause::kReadOnlyMedium;
}

QString Message(const CauseWords& words, const QString& port, const QString& systemWords) {
  QString happened = words.happened;
  QString whatToDo = words.whatToDo;
  if (happened.contains(QLatin1String("%1"))) happened = happened.arg(port);
  if (whatToDo.contains(QLatin1String("%1"))) whatToDo = whatToDo.arg(port);
  return happened + QLatin1Char('\n') + whatToDo + QStringLiteral("\n\n") + DetailsLine(systemWords);
}

}  // namespace

const CauseWords& CommWords(FailureCause cause) {
  return Words()[IsFileCause(cause) ? static_cast<size_t>(FailureCause::kOther)
                                    : static_cast<size_t>(cause)];
}

const CauseWords& FileWords(FailureCause cause) {
  return IsFileCause(cause) ? Words()[static_cast<size_t>(cause)] : OtherFileWords();
}

QString DetailsLine(const QString& systemWords) { return kDetails.arg(systemWords); }

QString CommFailureText(const std::exception& error) {
  return CommFailureText(CommFailureCause(error), PortOf(error, kUdpPort),
                         QString::fromUtf8(error.what()));
}

QString CommFailureText(FailureCause cause, uint16_t port, const QString& systemWords) {
  return Message(CommWords(cause), QString::number(port), systemWords);
}

QString ReportFailureText(const QString& path, FailureCause cause, const QString& systemWords) {
  return kReportNotWritten.arg(path) + QStringLiteral("\n\n") +
         Message(FileWords(cause), QString(), systemWords);
}

QString NoControllerReportText() { return kNoController; }

QString PairGoneText() { return kPairGone; }

QString ControllerChangedText() { return kControllerChanged; }

std::vector<QString> AllErrorTexts() {
  std::vector<QString> texts = {kDetails, kReportNotWritten, kNoController, kPairGone, kControllerChanged,
                                OtherFileWords().happened, OtherFileWords().whatToDo};
  for (const CauseWords& words : Words()) {
    texts.push_back(words.happened);
    texts.push_back(words.whatToDo);
  }
  return texts;
}

}  // namespace orvu
