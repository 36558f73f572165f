// The system's texts are Windows-1250; the terminal gets UTF-8. Everything printed passes here.
#pragma once
#include <ostream>
#include <string>

#include "comm/cp1250.h"

namespace orvu {

inline void Put(std::ostream& out, const std::string& cp1250) { out << Utf8FromCp1250(cp1250); }
inline std::string Utf8(const std::string& cp1250) { return Utf8FromCp1250(cp1250); }

}  // namespace orvu
