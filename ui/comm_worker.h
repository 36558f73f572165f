// The window's one communication worker: it runs the jobs the window starts one after the
// other, in the order started, on a thread of its own, and hands each job's result back to the
// user-interface thread in the same order. Only the worker touches the communication state
// (endpoint, device set, sessions); the window gets results by value.
#pragma once
#include <QObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace orvu {

struct CommState;

class CommWorker : public QObject {
  Q_OBJECT
 public:
  // kInline runs each job at once on the caller's thread and applies its result before
  // Start returns: window tests stay deterministic on a manual clock.
  enum class Mode { kThread, kInline };
  // A job's result: applied on the user-interface thread.
  using Apply = std::function<void()>;
  // Runs on the worker, with the state only the worker touches.
  using Job = std::function<Apply(CommState&)>;

  CommWorker(std::unique_ptr<CommState> state, Mode mode, QObject* parent = nullptr);
  ~CommWorker() override;
  CommWorker(const CommWorker&) = delete;
  CommWorker& operator=(const CommWorker&) = delete;

  void Start(Job job);
  // Runs every job started so far, then last, and ends the worker; the results of those jobs
  // are not applied. The state is destroyed on the thread that used it. Returns when done.
  void Finish(std::function<void(CommState&)> last);

  // Inline mode only: the worker's state, for tests that arrange what the worker sees.
  CommState& InlineState();

 private:
  Q_INVOKABLE void DeliverOneResult();
  void Serve();

  const Mode mode_;
  std::unique_ptr<CommState> state_;
  std::mutex mutex_;  // guards everything below; Qt's own locks are invisible to TSan
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  std::deque<Apply> results_;
  std::function<void(CommState&)> last_;
  bool finishing_ = false;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace orvu
