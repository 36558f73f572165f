#include "model/replacing_file.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace orvu {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
constexpr int kCannotDropPrivileges = 250;

const std::string kReport(48, 'r');
const std::string kOlder = std::string(80, 'o') + "\r\n";

// A folder of its own per test, reachable by every user (see AsUserWithoutPrivileges).
class Folder {
 public:
  Folder() {
    std::string pattern = (fs::temp_directory_path() / "orvu-file-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    Mode(0777);
  }
  ~Folder() {
    Mode(0700);
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  void Mode(mode_t mode) const { chmod(path_.c_str(), mode); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path_)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  fs::path path_;
};

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void Put(const std::string& path, const std::string& bytes, mode_t mode) {
  { std::ofstream(path, std::ios::binary) << bytes; }
  chmod(path.c_str(), mode);
}

// The errno of the writer's failure, 0 when it succeeded.
int ErrorOf(const std::function<void()>& write) {
  try {
    write();
    return 0;
  } catch (const std::system_error& e) {
    return e.code().value();
  }
}

// Runs write in a child process and returns ErrorOf it. With fileSizeLimit, every write past
// that many bytes fails with EFBIG, as on a full medium. With unprivileged, the child runs as
// a user the kernel holds to the folders' and files' modes: the tests' own user, or "nobody"
// when they run as root, whom no mode keeps from creating a file.
int InChild(const std::function<void()>& write, bool unprivileged, rlim_t fileSizeLimit = 0) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (unprivileged && geteuid() == 0) {
      if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)
        _exit(kCannotDropPrivileges);
    }
    if (fileSizeLimit > 0) {
      signal(SIGXFSZ, SIG_IGN);
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    _exit(ErrorOf(write));
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

void ExpectNoCannotDrop(int result) {
  EXPECT_NE(result, kCannotDropPrivileges) << "the test could not become uid " << kNobody;
}

TEST(ReplacingFile, ReplacesTheTargetWholeAndLeavesNothingElse) {
  struct Case {
    const char* name;
    std::function<void(const Folder&)> before;
    std::vector<std::string> names;  // of the folder afterwards
  };
  const Case cases[] = {
      {"new file", [](const Folder&) {}, {"raport.txt"}},
      {"older, longer file", [](const Folder& f) { Put(f.File("raport.txt"), kOlder, 0644); },
       {"raport.txt"}},
      {"link to a file: the link stays, its file is replaced",
       [](const Folder& f) {
         Put(f.File("archiwum.txt"), kOlder, 0644);
         fs::create_symlink("archiwum.txt", f.File("raport.txt"));
       },
       {"archiwum.txt", "raport.txt"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    c.before(folder);
    WriteFileReplacing(folder.File("raport.txt"), kReport);
    EXPECT_EQ(ReadBytes(folder.File("raport.txt")), kReport);
    EXPECT_EQ(folder.Names(), c.names);
  }
}

TEST(ReplacingFile, ReplacedFileKeepsItsPermissions) {
  Folder folder;
  Put(folder.File("raport.txt"), kOlder, 0640);
  WriteFileReplacing(folder.File("raport.txt"), kReport);
  struct stat st {};
  ASSERT_EQ(stat(folder.File("raport.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// The file size limit makes the writes fail part way, as a full disk does.
TEST(ReplacingFile, FailedWriteLeavesTheOlderFileWholeAndNoTemporaryFile) {
  Folder folder;
  const std::string path = folder.File("raport.txt");
  Put(path, kOlder, 0644);
  EXPECT_EQ(InChild([&] { WriteFileReplacing(path, std::string(100000, 'n')); }, false, 4096),
            EFBIG);
  EXPECT_EQ(ReadBytes(path), kOlder);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"raport.txt"});
}

// A shared folder that allows no new file, holding a report file prepared for this one: the
// bytes go into that file. A file the user may not write stays as it is, in any folder.
// Written by a user the modes bind (see InChild).
TEST(ReplacingFile, FolderForbiddingNewFilesIsWrittenThroughTheWritableTarget) {
  struct Case {
    const char* name;
    mode_t folderMode;
    const char* older;  // nullptr: no file there
    mode_t fileMode;
    rlim_t fileSizeLimit;
    int error;
    const char* after;  // the file's bytes afterwards; nullptr: not checked
  };
  const std::string written = kReport;
  const Case cases[] = {
      {"writable file, longer before: written whole, its tail cut", 0555, kOlder.c_str(), 0666,
       0, 0, written.c_str()},
      {"writable file, the writes fail: failure reported", 0555, kOlder.c_str(), 0666, 16, EFBIG,
       nullptr},
      {"no file there", 0555, nullptr, 0, 0, EACCES, nullptr},
      {"read-only file", 0555, kOlder.c_str(), 0444, 0, EACCES, kOlder.c_str()},
      {"read-only file in a writable folder", 0777, kOlder.c_str(), 0444, 0, EACCES,
       kOlder.c_str()},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Folder folder;
    const std::string path = folder.File("raport.txt");
    if (c.older) Put(path, c.older, c.fileMode);
    folder.Mode(c.folderMode);
    const int result =
        InChild([&] { WriteFileReplacing(path, written); }, true, c.fileSizeLimit);
    ExpectNoCannotDrop(result);
    EXPECT_EQ(result, c.error);
    folder.Mode(0777);
    EXPECT_EQ(folder.Names(), c.older ? std::vector<std::string>{"raport.txt"}
                                      : std::vector<std::string>{});
    if (c.after) {
      EXPECT_EQ(ReadBytes(path), c.after);
    }
  }
}

// The command-line program opens the file before it reads the controller: a read that fails
// then must not have touched the file written in place.
TEST(ReplacingFile, OpenedInPlaceAndNeverCommittedLeavesTheTargetAsItWas) {
  Folder folder;
  const std::string path = folder.File("raport.txt");
  Put(path, kOlder, 0666);
  folder.Mode(0555);
  const int result = InChild(
      [&] {
        ReplacingFile file;
        file.Open(path);
        if (!file.WritesInPlace()) throw std::system_error(ENOTSUP, std::generic_category());
      },
      true);
  ExpectNoCannotDrop(result);
  EXPECT_EQ(result, 0);
  folder.Mode(0777);
  EXPECT_EQ(ReadBytes(path), kOlder);
}

TEST(ReplacingFile, FailureKeepsItsErrnoAndNamesThePath) {
  Folder folder;
  fs::create_directory(folder.File("katalog"));
  const struct {
    std::string path;
    int error;
  } cases[] = {
      {folder.File("brak/raport.txt"), ENOENT},
      {folder.File("katalog"), EISDIR},
      {folder.File("katalog") + "/", EISDIR},
      {"", ENOENT},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    try {
      WriteFileReplacing(c.path, kReport);
      ADD_FAILURE() << "no failure";
    } catch (const std::system_error& e) {
      EXPECT_EQ(e.code(), std::errc(c.error));
      EXPECT_EQ(std::string(e.what()).rfind("cannot write " + c.path + ": ", 0), 0u) << e.what();
    }
  }
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"katalog"});
  EXPECT_TRUE(fs::is_empty(folder.File("katalog")));
}

// A pipe (like a device) is written, not replaced by a plain file; one that nobody reads is a
// failure at once, not a hang.
TEST(ReplacingFile, PipeIsWrittenInPlace) {
  Folder folder;
  const std::string path = folder.File("potok");
  ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
  try {
    WriteFileReplacing(path, kReport);
    ADD_FAILURE() << "written into a pipe nobody reads";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code(), std::errc::no_such_device_or_address);
  }

  const int reader = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  WriteFileReplacing(path, kReport);
  std::string got(kReport.size() + 1, '\0');
  const ssize_t n = read(reader, got.data(), got.size());
  close(reader);
  ASSERT_GT(n, 0);
  got.resize(static_cast<size_t>(n));
  EXPECT_EQ(got, kReport);
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"potok"});
}

}  // namespace
}  // namespace orvu
