// The messages of the error codes and the text of the error box.
#include <array>
#include <ostream>
#include <string>

#include "comm/cp1250.h"
#include "comm/identity.h"
#include "comm/udpdev.h"

namespace orvu {
namespace {

constexpr const char* kMessagesUtf8[] = {
    "Brak opisu błędu.",
    "Urządzenie nie odpowiada.",
    "Kontroler ma obcą sesję.\n\nMożliwe przyczyny:\n"
    " - kontroler połączony z inną kopią programu,\n"
    " - kontroler pamięta sesję z poprzednim wywołaniem programu.\n"
    "W tym drugim przypadku należy poczekać około 30s.",
    "Odmowa nawiązania sesji.",
    "Błąd podpisu ramki.",
    "Odpowiedź dłuższa od oczekiwanej.",
    "Brak odpowiedzi na rozkaz.",
    "Brak potwierdzenia wysłanego rozkazu.",
    "Błąd rozmiaru bufora w programie.",
    "Kontroler nie pozwala odczytać ustawień przejść.\nUstaw go w tryb 'Service'",
};
constexpr int kMessageCount = sizeof kMessagesUtf8 / sizeof kMessagesUtf8[0];

const std::array<std::string, kMessageCount>& Messages() {
  static const auto table = [] {
    std::array<std::string, kMessageCount> t;
    for (int i = 0; i < kMessageCount; ++i) t[i] = Cp1250FromUtf8(kMessagesUtf8[i]);
    return t;
  }();
  return table;
}

}  // namespace

const std::string& ErrMessage(ErrCode code) {
  const int32_t n = ErrNumber(code);
  return Messages()[n >= 1 && n < kMessageCount ? n : 0];
}

std::ostream& operator<<(std::ostream& out, ErrCode code) { return out << ErrNumber(code); }

const char* UErr::what() const noexcept { return ErrMessage(code).c_str(); }

const std::string& ModeName(OperatingMode mode) {
  static const std::string names[4] = {Cp1250FromUtf8("Blokada"), Cp1250FromUtf8("Konfiguracja"),
                                       Cp1250FromUtf8("Serwis"), Cp1250FromUtf8("Instalacja")};
  return names[ModeNumber(mode)];
}

std::string ErrText(const UErr& err) {
  static const std::string modeSep = Cp1250FromUtf8(", tryb: ");
  static const std::string codeLead = Cp1250FromUtf8(".\n\nBłąd nr ");
  std::string text = DevName(err.dev->id);
  text += modeSep;
  text += err.dev->ModeText();
  text += codeLead;
  text += std::to_string(ErrNumber(err.code));
  if (err.cmd != 0) {
    text += " (r.'";
    text += static_cast<char>(err.cmd);
    text += "')";
  }
  text += ": ";
  text += ErrMessage(err.code);
  text += '\n';
  return text;
}

}  // namespace orvu
