// The text of the passage configuration report: Windows-1250 bytes, CR LF, no BOM.
#pragma once
#include <string>

#include "model/ctrlcfg.h"

namespace orvu {

struct ReportDate {
  int year;
  int month;  // 1-12
  int day;    // 1-31
};

// controllerName and location are Windows-1250 text; the result is the file's exact bytes.
std::string ReportText(const CtrlConfig& cfg, const std::string& controllerName,
                       const std::string& location, ReportDate date);

}  // namespace orvu
