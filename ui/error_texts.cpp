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

const QString kDeviceGone = QStringLiteral(
    "Urządzenia z tej linii nie ma już na liście - nic nie zostało zrobione.");
const QString kRestoreChanged = QStringLiteral(
    "Kontroler zmienił się od podglądu przywracania - nic nie zostało zapisane.\n"
    "Wybierz „Przywróć z kopii…” jeszcze raz.");

const QString kBackupNotRead = QStringLiteral("Nie udało się odczytać kopii ustawień z pliku:\n„%1”");
const QString kBackupRefused =
    QStringLiteral("Plik nie jest poprawną kopią ustawień kontrolera i nie został użyty:\n„%1”");
const QString kBackupNotWritten = QStringLiteral("Nie udało się zapisać kopii ustawień w pliku:\n„%1”");
const QString kReadMissing = QStringLiteral(
    "Plik albo folder nie istnieje (mógł zostać usunięty, przeniesiony albo odłączony).");
const QString kReadForbidden = QStringLiteral("Brak uprawnień do odczytu tego pliku.");
const QString kReadOther = QStringLiteral("System nie pozwolił odczytać tego pliku.");
const QString kReadAgain = QStringLiteral("Wybierz plik kopii ustawień jeszcze raz.");
const QString kWriteElsewhere = QStringLiteral(
    "Wybierz inny folder albo inną nazwę pliku i zapisz kopię jeszcze raz.");
const QString kWriteElsewhereDisk = QStringLiteral("Zapisz kopię na innym dysku albo zwolnij miejsce.");

const QString kRestoreNotAcknowledged =
    QStringLiteral("Kontroler %1 nie potwierdził zapisu przejść - jego wynik jest nieznany.");
const QString kRestoreHoldsFile = QStringLiteral(
    "Odczytane ponownie przejścia kontrolera %1 są takie jak w pliku. Przywróć kopię jeszcze "
    "raz, aby to potwierdzić.");
const QString kRestoreHoldsOther = QStringLiteral(
    "Odczytane ponownie przejścia kontrolera %1 nie są takie jak w pliku (plik -> kontroler):");
const QString kRestoreUnknown = QStringLiteral(
    "Nie udało się odczytać przejść po zapisie - wynik jest nieznany. Przed zapisem kontroler "
    "%1 miał (plik -> kontroler):");

const QString kNotAnAddress = QStringLiteral(
    "Wiersz %1: „%2” nie jest adresem IPv4 (na przykład 192.168.5.20 albo 192.168.5.20:45389).\n"
    "Lista nie została zapisana.");
const QString kBadPort = QStringLiteral(
    "Wiersz %1: „%2” - po dwukropku potrzebny jest numer portu od 0 do 65535.\n"
    "Lista nie została zapisana.");

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

QString DeviceGoneText() { return kDeviceGone; }

QString AddressRefusedText(int line, const QString& text, bool badPort) {
  return (badPort ? kBadPort : kNotAnAddress).arg(QString::number(line), text);
}

QString RestoreChangedText() { return kRestoreChanged; }

QString BackupFileFailureText(const QString& path, FileFailure::Step step, FailureCause cause,
                              const QString& systemWords) {
  switch (step) {
    case FileFailure::Step::kRead: {
      const QString& happened = cause == FailureCause::kFolderMissing ? kReadMissing
                                : cause == FailureCause::kNoPermission ? kReadForbidden
                                                                       : kReadOther;
      return kBackupNotRead.arg(path) + QStringLiteral("\n\n") + happened + QLatin1Char('\n') +
             kReadAgain + QStringLiteral("\n\n") + DetailsLine(systemWords);
    }
    case FileFailure::Step::kRefused:
      return kBackupRefused.arg(path) + QStringLiteral("\n\n") + DetailsLine(systemWords);
    case FileFailure::Step::kWrite:
      break;
  }
  const QString& whatToDo = cause == FailureCause::kDiskFull || cause == FailureCause::kReadOnlyMedium
                                ? kWriteElsewhereDisk
                                : kWriteElsewhere;
  return kBackupNotWritten.arg(path) + QStringLiteral("\n\n") + FileWords(cause).happened +
         QLatin1Char('\n') + whatToDo + QStringLiteral("\n\n") + DetailsLine(systemWords);
}

QString RestoreUnverifiedText(const QString& controller, const QString* writeError,
                              RestoreUnverified::ReadBack readBack, const QString* readError,
                              const QStringList& held) {
  QStringList parts;
  if (writeError) parts << *writeError + kRestoreNotAcknowledged.arg(controller);
  switch (readBack) {
    case RestoreUnverified::ReadBack::kHoldsFile: parts << kRestoreHoldsFile.arg(controller); break;
    case RestoreUnverified::ReadBack::kHoldsOther: parts << kRestoreHoldsOther.arg(controller) + QLatin1Char('\n') + held.join(QLatin1Char('\n')); break;
    case RestoreUnverified::ReadBack::kFailed:
      parts << (readError ? *readError : QString()) + kRestoreUnknown.arg(controller) + QLatin1Char('\n') +
                   held.join(QLatin1Char('\n'));
      break;
  }
  return parts.join(QStringLiteral("\n\n"));
}

QString PairGoneText() { return kPairGone; }

QString ControllerChangedText() { return kControllerChanged; }

std::vector<QString> AllErrorTexts() {
  std::vector<QString> texts = {kDetails, kReportNotWritten, kNoController, kPairGone, kControllerChanged,
                                OtherFileWords().happened, OtherFileWords().whatToDo, kDeviceGone,
                                kRestoreChanged, kBackupNotRead, kBackupRefused, kBackupNotWritten,
                                kReadMissing, kReadForbidden, kReadOther, kReadAgain, kWriteElsewhere,
                                kWriteElsewhereDisk, kRestoreNotAcknowledged, kRestoreHoldsFile,
                                kRestoreHoldsOther, kRestoreUnknown, kNotAnAddress, kBadPort};
  for (const CauseWords& words : Words()) {
    texts.push_back(words.happened);
    texts.push_back(words.whatToDo);
  }
  return texts;
}

}  // namespace orvu
