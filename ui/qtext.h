// The one border between the system's Windows-1250 texts and Qt's Unicode strings.
#pragma once
#include <QString>
#include <string>

#include "comm/cp1250.h"

namespace orvu {

inline QString QtText(const std::string& cp1250) {
  return QString::fromStdString(Utf8FromCp1250(cp1250));
}
inline std::string Cp1250Text(const QString& text) { return Cp1250FromUtf8(text.toStdString()); }

}  // namespace orvu
