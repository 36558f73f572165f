// The passage configuration report. Every width below derives from the three layout constants,
// so the columns of the header, the labels and the passage cells stay aligned with each other.
#include "model/report.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "comm/cp1250.h"

namespace orvu {
namespace {

constexpr size_t HeadWidth = 14;
constexpr size_t LabelWidth = 16;
constexpr size_t CellWidth = 20;

constexpr int kPassagesPerBlock = 4;
constexpr int kLabelsPerLine = 6;
constexpr size_t kTitleRuleLength = 38;  // as long as the title

// The width a text of a passage column is right-aligned in: the first column of a block is
// CellWidth characters wide, each further one CellWidth + 2, and a text ends a fixed number of
// characters before its column's end (4 for outputs and airlock cells, 5 for the rest).
struct CellField {
  size_t first;
  size_t further;
  size_t At(int column) const { return column == 0 ? first : further; }
};

constexpr size_t kReaderCaptionWidth = LabelWidth - 1;   // the digit follows the caption
constexpr size_t kAirlockCaptionWidth = LabelWidth + 1;  // the caption carries its own ":"
constexpr CellField kHeadingField{LabelWidth + CellWidth - 4, CellWidth + 2};
constexpr CellField kOutputField{CellWidth - 4, CellWidth - 2};
constexpr CellField kInputField{CellWidth - 5, CellWidth - 3};  // inputs and readers
constexpr CellField kAirlockField{CellWidth - 9, CellWidth - 3};

constexpr size_t SeparatorWidth(int passages) { return LabelWidth + passages * (CellWidth + 2); }

constexpr std::string_view kOutputNc = "[NC]";
constexpr std::string_view kNoOutputNc = "    ";
constexpr std::string_view kInputNc = " [NC]";
constexpr std::string_view kNoInputNc = "     ";
constexpr std::string_view kAirlockTail = "    ";  // ends the airlock cell 4 before the column

// The report's own texts, in Windows-1250.
struct Texts {
  std::string title = Cp1250FromUtf8("Raport konfiguracji przejść kontrolera");
  std::string controller = Cp1250FromUtf8("Kontroler: ");
  std::string location = Cp1250FromUtf8("Lokalizacja: ");
  std::string date = Cp1250FromUtf8("Data: ");
  std::string devices = Cp1250FromUtf8("Urządzenia: ");
  std::string passage = Cp1250FromUtf8("Przejście ");
  std::string reader = Cp1250FromUtf8("Czytnik ");
  std::string airlocks = Cp1250FromUtf8("Śluzy:");
  std::string airlock = Cp1250FromUtf8("Śluza ");
  std::string noAirlock = Cp1250FromUtf8("--- ");
  std::string outputLabels[4] = {Cp1250FromUtf8("Rygiel"), Cp1250FromUtf8("Przypomnienie"),
                                 Cp1250FromUtf8("Alarm"), Cp1250FromUtf8("CCTV")};
  std::string inputLabels[4] = {Cp1250FromUtf8("Przycisk wyjścia"),
                                Cp1250FromUtf8("Czujnik otwarcia"),
                                Cp1250FromUtf8("Czujka alarmowa"), Cp1250FromUtf8("Sabotaż")};
};

const Texts& ReportTexts() {
  static const Texts texts;
  return texts;
}

// t preceded by spaces up to w characters; a longer t is written whole, never cut.
std::string Right(size_t w, std::string_view t) {
  std::string field(w > t.size() ? w - t.size() : 0, ' ');
  field += t;
  return field;
}

void Line(std::string& out, std::string_view text) {
  out += text;
  out += "\r\n";
}

// Texts handed in from outside (the location typed by the user, the controller name) must not
// break the file into extra lines: a CR or LF inside them becomes a space.
std::string OneLine(std::string_view text) {
  std::string line(text);
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

// The passages first .. first + count - 1 that share one table block.
struct Block {
  int first;
  int count;
};

// --- Header ---

std::string DateText(ReportDate date) {
  char text[40];
  std::snprintf(text, sizeof text, "%d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

void AppendHeader(std::string& out, const std::string& controllerName,
                  const std::string& location, ReportDate date) {
  const Texts& t = ReportTexts();
  Line(out, t.title);
  Line(out, std::string(kTitleRuleLength, '='));
  Line(out, "");
  Line(out, Right(HeadWidth, t.controller) + OneLine(controllerName));
  Line(out, Right(HeadWidth, t.location) + OneLine(location));
  Line(out, Right(HeadWidth, t.date) + DateText(date));
  Line(out, "");
}

// Six labels a line; a continued line ends in ", " and the next one is indented like a caption.
void AppendDeviceLines(std::string& out, const CtrlConfig& cfg) {
  std::string line = Right(HeadWidth, ReportTexts().devices);
  const int listedCount = std::clamp<int32_t>(cfg.listedCount, 0, kMaxDevices);
  int onLine = 0;
  bool firstLabel = true;
  for (int i = 0; i < listedCount; ++i) {
    const uint32_t index = cfg.listed[i];
    if (index >= static_cast<uint32_t>(kMaxDevices)) continue;  // never in a decoded model
    if (!firstLabel) {
      line += ", ";
      if (onLine == kLabelsPerLine) {
        Line(out, line);
        line.assign(HeadWidth, ' ');
        onLine = 0;
      }
    }
    line += DevLongName(cfg.devices[index]);
    ++onLine;
    firstLabel = false;
  }
  line += '.';
  Line(out, line);
  Line(out, "");
}

// --- Rows of a block ---

std::string HeadingRow(Block b) {
  std::string row;
  for (int c = 0; c < b.count; ++c)
    row += Right(kHeadingField.At(c), ReportTexts().passage + std::to_string(b.first + c + 1));
  return row;
}

std::string Separator(Block b) { return std::string(SeparatorWidth(b.count), '-'); }

// How the cells of an output or an input row are laid out.
struct BindingCells {
  CellField field;
  const char* kind;  // the IoRefText label
  std::string_view nc;
  std::string_view noNc;
};
constexpr BindingCells kOutputCells{kOutputField, "Out", kOutputNc, kNoOutputNc};
constexpr BindingCells kInputCells{kInputField, "In", kInputNc, kNoInputNc};

// The label, then each passage's binding with its NC mark; refOf(passage) gives the binding.
template <class RefOf>
std::string BindingRow(const CtrlConfig& cfg, Block b, const std::string& label,
                       const BindingCells& cells, RefOf refOf) {
  std::string row = Right(LabelWidth, label) + ":";
  for (int c = 0; c < b.count; ++c) {
    const IoRef ref = refOf(b.first + c);
    row += Right(cells.field.At(c), IoRefText(cfg, ref, cells.kind));
    row += HasNc(ref) ? cells.nc : cells.noNc;
  }
  return row;
}

std::string OutputRow(const CtrlConfig& cfg, Block b, int slot) {
  return BindingRow(cfg, b, ReportTexts().outputLabels[slot], kOutputCells,
                    [&](int p) { return cfg.outRefs[p][slot]; });
}

std::string InputRow(const CtrlConfig& cfg, Block b, int slot) {
  return BindingRow(cfg, b, ReportTexts().inputLabels[slot], kInputCells,
                    [&](int p) { return cfg.inRefs[p][slot]; });
}

// Readers carry no NC flag, so their cells always end in the spaces of an absent mark.
std::string ReaderRow(const CtrlConfig& cfg, Block b, int reader) {
  std::string row = Right(kReaderCaptionWidth, ReportTexts().reader) + std::to_string(reader) + ":";
  for (int c = 0; c < b.count; ++c) {
    row += Right(kInputField.At(c), IoRefText(cfg, cfg.rdRefs[b.first + c][reader - 1], "Rd"));
    row += kNoInputNc;
  }
  return row;
}

std::string AirlockCell(const CtrlConfig& cfg, int passage, int column) {
  const Texts& t = ReportTexts();
  const int airlock = AirlockOf(cfg.params[passage]);
  if (airlock < 0) return Right(kAirlockField.At(column), t.noAirlock) + " " + std::string(kAirlockTail);
  return Right(kAirlockField.At(column), t.airlock) + std::to_string(airlock + 1) +
         std::string(kAirlockTail);
}

std::string AirlockRow(const CtrlConfig& cfg, Block b) {
  std::string row = Right(kAirlockCaptionWidth, ReportTexts().airlocks);
  for (int c = 0; c < b.count; ++c) row += AirlockCell(cfg, b.first + c, c);
  return row;
}

void AppendBlock(std::string& out, const CtrlConfig& cfg, Block b) {
  Line(out, "");
  Line(out, HeadingRow(b));
  Line(out, Separator(b));
  Line(out, OutputRow(cfg, b, kSlotBolt));
  Line(out, InputRow(cfg, b, kSlotOpenDetector));
  Line(out, "");
  for (int slot : {kSlotExitButton, kSlotAlarmDetector, kSlotTamper})
    Line(out, InputRow(cfg, b, slot));
  Line(out, "");
  for (int reader = 1; reader <= kReaderSlots; ++reader) Line(out, ReaderRow(cfg, b, reader));
  Line(out, "");
  for (int slot : {kSlotReminder, kSlotAlarm, kSlotCctv}) Line(out, OutputRow(cfg, b, slot));
  Line(out, "");
  Line(out, AirlockRow(cfg, b));
  Line(out, Separator(b));
  Line(out, "");
}

}  // namespace

std::string ReportText(const CtrlConfig& cfg, const std::string& controllerName,
                       const std::string& location, ReportDate date) {
  std::string out;
  AppendHeader(out, controllerName, location, date);
  AppendDeviceLines(out, cfg);
  const int passageCount = std::clamp<int32_t>(cfg.passageCount, 0, kMaxPassages);
  for (int first = 0; first < passageCount; first += kPassagesPerBlock)
    AppendBlock(out, cfg, Block{first, std::min(kPassagesPerBlock, passageCount - first)});
  return out;
}

}  // namespace orvu
