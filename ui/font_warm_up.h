// The font configuration's set-up (reading its configuration files and font caches, some
// milliseconds) started on a thread of its own at program start, while the application object
// is being made, instead of at the first text the window measures.
#pragma once
#include <thread>

namespace orvu {

class FontConfigWarmUp {
 public:
  FontConfigWarmUp();
  // Waits for the set-up: call it before anything measures or draws text, as two set-ups at
  // once would each do the whole work.
  void Join();
  ~FontConfigWarmUp() { Join(); }
  FontConfigWarmUp(const FontConfigWarmUp&) = delete;
  FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

 private:
  std::thread thread_;
};

}  // namespace orvu
