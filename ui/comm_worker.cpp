#include "ui/comm_worker.h"

#include <stdexcept>

#include "ui/comm_jobs.h"

namespace orvu {

CommWorker::CommWorker(std::unique_ptr<CommState> state, Mode mode, QObject* parent)
    : QObject(parent), mode_(mode), state_(std::move(state)) {
  if (mode_ == Mode::kThread) thread_ = std::thread([this] { Serve(); });
}

CommWorker::~CommWorker() {
  if (!finished_) Finish([](CommState&) {});
}

void CommWorker::Start(Job job) {
  if (finished_) return;
  if (mode_ == Mode::kInline) {
    Apply apply = job(*state_);
    apply();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_one();
}

void CommWorker::Finish(std::function<void(CommState&)> last) {
  if (finished_) return;
  finished_ = true;
  if (mode_ == Mode::kInline) {
    last(*state_);
    state_.reset();
    return;
  }
  {
    std::lock_guard lock(mutex_);
    last_ = std::move(last);
    finishing_ = true;
  }
  wake_.notify_one();
  thread_.join();
  // Results the thread posted after the window stopped listening are dropped with it.
  std::lock_guard lock(mutex_);
  results_.clear();
}

CommState& CommWorker::InlineState() {
  if (mode_ != Mode::kInline || !state_) throw std::logic_error("no inline communication state");
  return *state_;
}

void CommWorker::Serve() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return !jobs_.empty() || finishing_; });
      if (jobs_.empty()) break;  // finishing, and every job started has run
      job = std::move(jobs_.front());
      jobs_.pop_front();
    }
    Apply apply = job(*state_);
    {
      std::lock_guard lock(mutex_);
      if (finishing_) continue;
      results_.push_back(std::move(apply));
    }
    // The call carries no data: the result travels through results_ under the mutex.
    QMetaObject::invokeMethod(this, "DeliverOneResult", Qt::QueuedConnection);
  }
  std::function<void(CommState&)> last;
  {
    std::lock_guard lock(mutex_);
    last = std::move(last_);
  }
  if (last) last(*state_);
  // The device records' destruction may still talk (closing sessions): on this thread.
  state_.reset();
}

void CommWorker::DeliverOneResult() {
  Apply apply;
  {
    std::lock_guard lock(mutex_);
    if (results_.empty()) return;
    apply = std::move(results_.front());
    results_.pop_front();
  }
  apply();
}

}  // namespace orvu
