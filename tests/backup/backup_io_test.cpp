// Backup files by path in a folder of their own: what is written reads back the same, a file
// that cannot be read says why by the errno of the failing call, a refused one by its place;
// and the backup taken now carries the local time.
#include "backup/backup_io.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <regex>
#include <string>

#include "backup/backup_file.h"
#include "comm/failure_cause.h"

namespace orvu {
namespace {

namespace fs = std::filesystem;

constexpr uint32_t kControllerId = 0x20000000u | (346u << 16) | 1201u;
constexpr uid_t kNobody = 65534;

// A folder of its own per test, open to every user (the permission case reads as nobody).
class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "orvu-backup-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    chmod(path_.c_str(), 0777);
  }
  ~Folder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  void Put(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }

 private:
  fs::path path_;
};

// The controller and one module, one passage whose bolt is the module's first output.
std::unique_ptr<CtrlConfig> Sample() {
  auto cfg = std::make_unique<CtrlConfig>();
  cfg->deviceCount = cfg->listedCount = 2;
  cfg->devices[0] = {.id = 0x015A04B1, .suffixNumber = 1, .outputCount = 4, .inputCount = 4, .readerCount = 2};
  cfg->devices[1] = {.id = 0x02CD0515, .suffixNumber = 1, .outputCount = 12, .inputCount = 12, .ocOutputs = true};
  cfg->listed[1] = 1;
  cfg->passageCount = 1;
  for (IoRef& r : cfg->outRefs[0]) r = kNoRef;
  for (IoRef& r : cfg->inRefs[0]) r = kNoRef;
  for (IoRef& r : cfg->rdRefs[0]) r = kNoRef;
  cfg->outRefs[0][kSlotBolt] = MakeRef(1, 0);
  cfg->params[0][4] = 10;
  return cfg;
}

Backup SampleBackup(const std::string& taken) {
  return BackupOf(*Sample(), kControllerId, "192.168.1.50", OperatingMode::kSerwis, taken);
}

TEST(BackupFiles, WhatIsWrittenReadsBackTheSameAndReplacesTheOlderFile) {
  Folder folder;
  const std::string path = folder.File("k1201.json");
  const Backup older = SampleBackup("2024-05-07T10:00:00+0200");
  const Backup newer = SampleBackup("2024-05-08T10:00:00+0200");
  WriteBackupFile(path, older);
  EXPECT_EQ(ReadBackupFile(path), older);
  WriteBackupFile(path, newer);
  EXPECT_EQ(ReadBackupFile(path), newer);
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), BackupFileText(newer));

  try {
    WriteBackupFile(folder.File("none/k1201.json"), older);
    FAIL() << "written into a folder that is not there";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), ENOENT);
    EXPECT_EQ(std::string(e.what()).rfind("cannot write " + folder.File("none/k1201.json"), 0), 0u) << e.what();
  }
}

// The errno as the window classifies it, run as a user the modes bind.
int ReadErrorAsNobody(const std::string& path) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
      _exit(250);
    try {
      ReadBackupFile(path);
    } catch (const BackupReadError& e) {
      _exit(e.step == BackupReadError::Step::kRead ? e.code().value() : 251);
    } catch (...) {
      _exit(252);
    }
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(BackupFiles, AFileThatCannotBeReadSaysWhyByTheErrnoOfTheFailingCall) {
  Folder folder;
  folder.Put("k1201.json", BackupFileText(SampleBackup("")));
  fs::create_directory(folder.File("folder.json"));
  ASSERT_EQ(mkfifo(folder.File("pipe.json").c_str(), 0600), 0);
  {
    std::ofstream(folder.File("huge.json"));
    fs::resize_file(folder.File("huge.json"), (16u << 20) + 1);  // sparse: costs no disk
  }
  using Step = BackupReadError::Step;
  const struct {
    const char* name;
    int error;
    Step step;
    FailureCause cause;
  } rows[] = {
      {"missing.json", ENOENT, Step::kLookUp, FailureCause::kFolderMissing},
      {"none/k1201.json", ENOENT, Step::kLookUp, FailureCause::kFolderMissing},
      {"k1201.json/k1201.json", ENOTDIR, Step::kLookUp, FailureCause::kFolderMissing},
      {"folder.json", EISDIR, Step::kNotAFile, FailureCause::kOther},
      {"pipe.json", EINVAL, Step::kNotAFile, FailureCause::kOther},  // refused, not waited on
      {"huge.json", EFBIG, Step::kTooLarge, FailureCause::kOther},
  };
  for (const auto& row : rows) {
    const std::string path = folder.File(row.name);
    try {
      ReadBackupFile(path);
      ADD_FAILURE() << row.name << " was read";
    } catch (const BackupReadError& e) {
      EXPECT_EQ(e.code().value(), row.error) << row.name;
      EXPECT_EQ(e.code().category(), std::generic_category()) << row.name;
      EXPECT_EQ(e.step, row.step) << row.name;
      EXPECT_EQ(FileFailureCause(e.code().value()), row.cause) << row.name;
      EXPECT_EQ(e.path, path);
      EXPECT_EQ(std::string(e.what()), "cannot read " + path + ": " + std::generic_category().message(row.error));
    }
  }

  chmod(folder.File("k1201.json").c_str(), 0);
  EXPECT_EQ(ReadErrorAsNobody(folder.File("k1201.json")), EACCES);
  EXPECT_EQ(FileFailureCause(EACCES), FailureCause::kNoPermission);
}

TEST(BackupFiles, ARefusedFileIsABackupFileErrorWithItsPlace) {
  Folder folder;
  std::string text = BackupFileText(SampleBackup(""));
  text.replace(text.find("\"channel\": 1"), 12, "\"channel\": 0");
  const struct {
    const char* what;
    std::string bytes;
    const char* pointer;
  } rows[] = {
      {"empty", "", ""},
      {"not a backup", "{}\n", "/format"},
      {"a channel edited", text, "/passages/0/bindings/bolt/channel"},
  };
  for (const auto& row : rows) {
    folder.Put("k1201.json", row.bytes);
    try {
      ReadBackupFile(folder.File("k1201.json"));
      ADD_FAILURE() << row.what << " was taken";
    } catch (const BackupFileError& e) {
      EXPECT_EQ(e.pointer, row.pointer) << row.what << ": " << e.what();
    }
  }
}

// Taken in a zone two hours east of UTC: the stamp is local time with that offset.
TEST(BackupNow, TheControllerAsReadStampedWithTheLocalTime) {
  const char* zone = std::getenv("TZ");
  const std::string before = zone ? zone : "";
  setenv("TZ", "XYZ-2", 1);
  tzset();
  UdpDev dev(kControllerId, 0xC0A80132, kModeSession | 2);
  const auto cfg = Sample();
  const Backup backup = BackupNow(dev, *cfg);
  if (zone) setenv("TZ", before.c_str(), 1); else unsetenv("TZ");
  tzset();

  EXPECT_TRUE(std::regex_match(backup.taken, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\+0200)"))) << backup.taken;
  EXPECT_EQ(backup, BackupOf(*cfg, kControllerId, "192.168.1.50", OperatingMode::kSerwis, backup.taken));
}

}  // namespace
}  // namespace orvu
