// The simulator's sense of time. Sessions end after an idle time, a replaced bus device shows
// inactive for a few seconds, replies may be delayed: all of it reads this clock, so tests can
// run a manual clock and skip the waiting instead of sleeping.
#pragma once
#include <atomic>
#include <cstdint>

namespace orvu {

class SimClock {
 public:
  virtual ~SimClock() = default;
  // Milliseconds since an arbitrary start; never goes back.
  virtual int64_t NowMs() const = 0;
  // Lets ms pass: a real clock sleeps, a manual clock advances at once.
  virtual void WaitMs(int64_t ms) = 0;
};

// Wall time (steady): for orvusim and the demo program.
class RealClock : public SimClock {
 public:
  int64_t NowMs() const override;
  void WaitMs(int64_t ms) override;
};

// Time that moves only when told to. Safe to read from the UDP server's thread.
class ManualClock : public SimClock {
 public:
  explicit ManualClock(int64_t startMs = 0) : now_(startMs) {}
  int64_t NowMs() const override { return now_.load(); }
  void WaitMs(int64_t ms) override { Advance(ms); }
  void Advance(int64_t ms) {
    if (ms > 0) now_ += ms;
  }

 private:
  std::atomic<int64_t> now_;
};

}  // namespace orvu
