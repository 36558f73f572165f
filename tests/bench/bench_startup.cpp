// How fast the window appears: the time from spawning a process to the first paint of its
// window, for the tool (over an empty simulated LAN, whose first search waits 3 x 200 ms) and
// for an empty Qt window of the same size started the same way. Goal: the tool within 1.2
// times the empty window (medians of runs taken in turn, so drifting load hits all alike).
//
// Timed on an X display, where the tool is used: the session's own (DISPLAY), or a private
// Xvfb started for the run when there is none. Then on the offscreen platform, which has no
// display connection to make, for reference.
//
// A third window, one label in the tool's font, shows the floor for any window with text: the
// empty window draws none, so it never reads the system's font configuration (~5 ms of CPU
// here) nor sets up Qt's font database and a face (~2 ms), which the first text needs.
//
//   bench_startup [--starts N]        (QT_QPA_PLATFORM, if set, is the one platform timed)
#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "sim/clock.h"
#include "sim/lan.h"
#include "ui/endpoint_ref.h"
#include "ui/run_tool.h"

extern char** environ;

namespace {

using namespace orvu;

// --- In a child ---

const char* childMode = nullptr;  // "tool", "empty" or "label"

// The first paint of a window is reported on stdout, and the child ends.
class ShownReporter : public QObject {
 protected:
  bool eventFilter(QObject* obj, QEvent* event) override {
    if (event->type() == QEvent::Paint && obj->isWidgetType() &&
        static_cast<QWidget*>(obj)->isWindow()) {
      std::fputs("shown\n", stdout);
      std::fflush(stdout);
      _exit(0);
    }
    return false;
  }
};

void InstallShownReporter() {
  if (childMode) qApp->installEventFilter(new ShownReporter);
}
Q_COREAPP_STARTUP_FUNCTION(InstallShownReporter)

int RunChild(int argc, char** argv) {
  if (std::strcmp(childMode, "tool") == 0) {
    static RealClock clock;
    static SimLan lan(clock);  // an empty LAN: the first search waits for nothing to answer
    lan.SetEchoBroadcast(false);
    return RunTool(argc, argv, [] { return std::make_unique<EndpointRef>(lan); });
  }
  QApplication app(argc, argv);
  QWidget window;
  window.setFixedSize(847, 590);
  if (std::strcmp(childMode, "label") == 0) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    window.setFont(font);
    new QLabel(QStringLiteral("Urządzenie       Adres IP          Stan"), &window);
  }
  window.show();
  return app.exec();
}

// --- In the bench ---

// A process spawned with its descriptor childFd on a pipe whose read end is *readEnd; -1 where
// spawning failed. Only that copy is inherited: the pipes of other children are not.
pid_t SpawnWithPipe(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    int* readEnd, int childFd) {
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], childFd);
  std::vector<char*> argv, envp;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  argv.push_back(nullptr);
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    return -1;
  }
  *readEnd = out[0];
  return pid;
}

// A private runtime folder for the children where the session has none: spares every child
// Qt's warning about it. Removed at the end.
const std::string& RuntimeDir() {
  struct Folder {
    std::string path;
    Folder() {
      char dir[] = "/tmp/orvu-bench-XXXXXX";
      if (mkdtemp(dir)) path = dir;
    }
    ~Folder() {
      if (!path.empty()) rmdir(path.c_str());
    }
  };
  static const Folder folder;
  return folder.path;
}

// This process's environment without the variables that choose Qt's platform and display.
std::vector<std::string> BaseEnvironment() {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    const std::string var(*e);
    if (var.rfind("QT_QPA_PLATFORM=", 0) == 0 || var.rfind("DISPLAY=", 0) == 0) continue;
    env.push_back(var);
  }
  if (!std::getenv("XDG_RUNTIME_DIR") && !RuntimeDir().empty())
    env.push_back("XDG_RUNTIME_DIR=" + RuntimeDir());
  return env;
}

// A private X server for the run, ended with the bench.
class PrivateXvfb {
 public:
  static std::unique_ptr<PrivateXvfb> Start() {
    int readEnd = -1;
    // -displayfd: the server picks a free display and writes its number on fd 3 when ready.
    // -noreset: the last child to leave would otherwise reset it, and it would write again.
    const pid_t pid = SpawnWithPipe({"Xvfb", "-displayfd", "3", "-noreset", "-screen", "0",
                                     "1280x1024x24", "-nolisten", "tcp"},
                                    BaseEnvironment(), &readEnd, 3);
    if (pid < 0) return nullptr;
    auto server = std::unique_ptr<PrivateXvfb>(new PrivateXvfb(pid, readEnd));
    char number[16] = {};
    if (read(readEnd, number, sizeof number - 1) <= 0) return nullptr;
    server->display_ = ":" + std::to_string(std::atoi(number));
    return server;
  }
  PrivateXvfb(const PrivateXvfb&) = delete;
  PrivateXvfb& operator=(const PrivateXvfb&) = delete;
  ~PrivateXvfb() {
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    close(readEnd_);
  }
  const std::string& Display() const { return display_; }

 private:
  PrivateXvfb(pid_t pid, int readEnd) : pid_(pid), readEnd_(readEnd) {}
  pid_t pid_;
  int readEnd_;  // open while the server runs: it may write on it again
  std::string display_;
};

// Milliseconds from spawning this program as a child in mode to its "shown" line; -1 if the
// child showed nothing.
double TimeChild(const char* self, const char* mode, const std::vector<std::string>& env) {
  const auto start = std::chrono::steady_clock::now();
  int readEnd = -1;
  const pid_t pid = SpawnWithPipe({self, "--child", mode}, env, &readEnd, STDOUT_FILENO);
  if (pid < 0) return -1;
  double ms = -1;
  char line[16] = {};
  if (read(readEnd, line, sizeof line - 1) > 0 && std::strncmp(line, "shown", 5) == 0)
    ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  close(readEnd);
  waitpid(pid, nullptr, 0);
  return ms;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

struct Platform {
  std::string name;
  std::vector<std::string> env;  // added to the base environment
  bool judged;                   // the goal holds here
};

void TimePlatform(const char* self, const Platform& platform, int starts) {
  std::vector<std::string> env = BaseEnvironment();
  env.insert(env.end(), platform.env.begin(), platform.env.end());
  std::vector<double> tool, empty, label;
  for (int i = 0; i < starts; ++i) {
    empty.push_back(TimeChild(self, "empty", env));
    label.push_back(TimeChild(self, "label", env));
    tool.push_back(TimeChild(self, "tool", env));
  }
  if (Median(tool) < 0 || Median(empty) < 0) {
    std::printf("%-28s no window shown\n", platform.name.c_str());
    return;
  }
  const double ratio = Median(tool) / Median(empty);
  std::printf("%-28s tool %5.1f ms  empty Qt window %5.1f ms  ratio %.2f  %s\n",
              platform.name.c_str(), Median(tool), Median(empty), ratio,
              !platform.judged     ? "(reference)"
              : ratio <= 1.2       ? "goal met"
                                   : "GOAL MISSED");
  std::printf("%-28s   a window with one label of the tool's font: %5.1f ms (tool/that %.2f)\n",
              "", Median(label), Median(tool) / Median(label));
}

}  // namespace

int main(int argc, char** argv) {
  int starts = 21;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--child") == 0) childMode = argv[i + 1];
    if (std::strcmp(argv[i], "--starts") == 0) starts = std::atoi(argv[i + 1]);
  }
  if (childMode) return RunChild(argc, argv);

  std::printf("start to window shown (median of %d):\n", starts);
  if (const char* chosen = std::getenv("QT_QPA_PLATFORM")) {
    std::vector<std::string> env{std::string("QT_QPA_PLATFORM=") + chosen};
    if (const char* display = std::getenv("DISPLAY")) env.push_back(std::string("DISPLAY=") + display);
    TimePlatform(argv[0], {chosen, env, true}, starts);
    return 0;
  }
  std::unique_ptr<PrivateXvfb> xvfb;
  std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
  if (display.empty() && (xvfb = PrivateXvfb::Start())) display = xvfb->Display();
  if (display.empty()) {
    std::printf("%-28s no X display and no Xvfb to start: not timed\n", "X display");
  } else {
    TimePlatform(argv[0],
                 {"X display " + display + (xvfb ? " (Xvfb)" : ""),
                  {"QT_QPA_PLATFORM=xcb", "DISPLAY=" + display}, true},
                 starts);
  }
  TimePlatform(argv[0], {"offscreen, no display", {"QT_QPA_PLATFORM=offscreen"}, false}, starts);
  return 0;
}
