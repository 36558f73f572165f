// The report text of the largest configuration a controller can hold in one reply: 124 bus
// devices and 16 passages with every reported slot bound.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "model/ctrlcfg.h"
#include "model/report.h"

namespace {

orvu::CtrlConfig& LargestConfig() {
  static orvu::CtrlConfig cfg;
  constexpr int kDevices = 124;
  cfg.deviceCount = kDevices;
  cfg.listedCount = kDevices;
  for (int i = 0; i < kDevices; ++i) {
    orvu::BusDev& d = cfg.devices[i];
    const uint32_t type = i == 0 ? 346 : (i % 2 ? 1 : 717);
    d.id = (static_cast<uint32_t>(i % 4) << 26) | (type << 16) | static_cast<uint32_t>(10000 + i);
    d.suffixNumber = static_cast<uint8_t>(i);
    d.outputCount = 15;
    d.inputCount = 15;
    d.readerCount = 3;
    d.ocOutputs = true;
    cfg.listed[i] = static_cast<uint32_t>(i);
  }
  cfg.passageCount = orvu::kMaxPassages;
  for (int p = 0; p < orvu::kMaxPassages; ++p) {
    // Two-digit channels and NC marks on half of them: the widest cells.
    for (int s = 0; s < orvu::kOutputSlots; ++s)
      cfg.outRefs[p][s] = static_cast<orvu::IoRef>((p * 7 + s + 1) * 256 + 10 + s + (p % 2 ? 0x80 : 0));
    for (int s = 0; s < orvu::kInputSlots; ++s)
      cfg.inRefs[p][s] = static_cast<orvu::IoRef>((p * 7 + s + 1) * 256 + s + (s % 2 ? 0x80 : 0));
    for (int s = 0; s < orvu::kReaderSlots; ++s)
      cfg.rdRefs[p][s] = static_cast<orvu::IoRef>((p * 7 + s + 1) * 256 + s % 3);
    orvu::SetAirlock(cfg.params[p], p % 4);
  }
  return cfg;
}

void BM_ReportTextLargest(benchmark::State& state) {
  const orvu::CtrlConfig& cfg = LargestConfig();
  const std::string location = "Budynek A, parter";
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = orvu::ReportText(cfg, "K46_10000", location, {2024, 5, 7});
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ReportTextLargest)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
