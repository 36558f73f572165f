#include "app/orvuq46-cli/passage_view.h"

#include "comm/cp1250.h"

namespace orvu {

const std::vector<BindingRow>& BindingRows() {
  static const std::vector<BindingRow> rows = {
      {"bolt", Cp1250FromUtf8("Rygiel"), IoTable::kOutputs, kSlotBolt},
      {"openDetector", Cp1250FromUtf8("Czujnik otwarcia"), IoTable::kInputs, kSlotOpenDetector},
      {"exitButton", Cp1250FromUtf8("Przycisk wyjścia"), IoTable::kInputs, kSlotExitButton},
      {"alarmDetector", Cp1250FromUtf8("Czujka alarmowa"), IoTable::kInputs, kSlotAlarmDetector},
      {"tamper", Cp1250FromUtf8("Sabotaż"), IoTable::kInputs, kSlotTamper},
      {"reader1", Cp1250FromUtf8("Czytnik 1"), IoTable::kReaders, 0},
      {"reader2", Cp1250FromUtf8("Czytnik 2"), IoTable::kReaders, 1},
      {"reader3", Cp1250FromUtf8("Czytnik 3"), IoTable::kReaders, 2},
      {"reader4", Cp1250FromUtf8("Czytnik 4"), IoTable::kReaders, 3},
      {"reminder", Cp1250FromUtf8("Przypomnienie"), IoTable::kOutputs, kSlotReminder},
      {"alarm", Cp1250FromUtf8("Alarm"), IoTable::kOutputs, kSlotAlarm},
      {"cctv", Cp1250FromUtf8("CCTV"), IoTable::kOutputs, kSlotCctv},
  };
  return rows;
}

IoRef BoundRef(const CtrlConfig& cfg, int passage, const BindingRow& row) {
  switch (row.table) {
    case IoTable::kOutputs: return cfg.outRefs[passage][row.slot];
    case IoTable::kInputs: return cfg.inRefs[passage][row.slot];
    case IoTable::kReaders: return cfg.rdRefs[passage][row.slot];
  }
  return kNoRef;
}

std::string BindingText(const CtrlConfig& cfg, IoRef ref, IoTable table) {
  const char* label = table == IoTable::kOutputs ? "Out" : table == IoTable::kInputs ? "In" : "Rd";
  return IoRefText(cfg, ref, label);
}

}  // namespace orvu
