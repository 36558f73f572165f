// The differences between two configurations, per bus device (matched by identity) and per
// passage slot, in the order of the devices and passages of the first one.
#pragma once
#include <string>
#include <vector>

#include "backup/backup.h"

namespace orvu {

struct Difference {
  std::string where;  // "device R01_00042/A3", "passage 2, bolt", "passages"
  std::string a;      // UTF-8
  std::string b;

  friend bool operator==(const Difference&, const Difference&) = default;
};

// The bus devices, then the passages. The two controllers' own entries count as one device:
// a controller put in another's place stands for it.
std::vector<Difference> CompareBackups(const Backup& a, const Backup& b);
// The passages only: their count, each slot, the parameter fields and bytes.
std::vector<Difference> ComparePassages(const Backup& a, const Backup& b);

// "where: a -> b".
std::string DifferenceLine(const Difference& d);

}  // namespace orvu
