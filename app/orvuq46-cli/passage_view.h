// What show prints of one passage, for the text and the JSON form alike: its bindings in the
// report's row order and the NC marks (the parameter fields are model/params.h's).
#pragma once
#include <string>
#include <vector>

#include "model/ctrlcfg.h"
#include "model/params.h"

namespace orvu {

enum class IoTable { kOutputs, kInputs, kReaders };

struct BindingRow {
  const char* key;    // JSON key
  std::string label;  // Windows-1250, as the report names the function
  IoTable table;
  int slot;
};

// Bolt and open detector, the other inputs, the readers, the other outputs.
const std::vector<BindingRow>& BindingRows();

IoRef BoundRef(const CtrlConfig& cfg, int passage, const BindingRow& row);
// IoRefText with the label of the row's kind ("Out", "In", "Rd").
std::string BindingText(const CtrlConfig& cfg, IoRef ref, IoTable table);

}  // namespace orvu
