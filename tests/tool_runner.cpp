#include "tool_runner.h"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace slip::testing {
namespace {

constexpr uid_t kNobody = 65534;

std::string drain(int fd) {
  std::string text;
  if (fd < 0) return text;
  char buffer[4096];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
    } else if (n == 0 || errno != EINTR) {
      break;
    }
  }
  ::close(fd);
  return text;
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "slipreport-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
  // World-accessible, so that runs as an unprivileged user can work in it.
  ::chmod(path_.c_str(), 0777);
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Undo read-only bits on folders inside, so that everything can go.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    if (entry.is_directory(ignored) && !entry.is_symlink(ignored)) ::chmod(entry.path().c_str(), 0777);
  }
  std::filesystem::remove_all(path_, ignored);
}

bool TempDir::exists(const std::string& name) const {
  struct stat st;
  return ::lstat(file(name).c_str(), &st) == 0;
}

RunningTool startTool(const std::string& dir, const RunOptions& options) {
  int outPipe[2];
  int errPipe[2];
  if (::pipe(outPipe) != 0 || ::pipe(errPipe) != 0) throw std::runtime_error("pipe failed");
  if (options.unreadStandardError) {  // closed before the fork: no reader from the start
    ::close(errPipe[0]);
    errPipe[0] = -1;
  }
  pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    ::dup2(outPipe[1], 1);
    ::dup2(errPipe[1], 2);
    ::close(outPipe[0]);
    ::close(outPipe[1]);
    ::close(errPipe[0]);
    ::close(errPipe[1]);
    int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull >= 0) ::dup2(devnull, 0);
    if (!options.standardOutput.empty()) {
      const int out = ::open(options.standardOutput.c_str(), O_WRONLY);
      if (out < 0 || ::dup2(out, 1) < 0) ::_exit(126);
    }
    struct sigaction action = {};
    action.sa_handler = options.ignoreInterrupt ? SIG_IGN : SIG_DFL;
    ::sigaction(SIGINT, &action, nullptr);
    action.sa_handler = SIG_DFL;  // as a shell starts it, whatever the test process inherited
    ::sigaction(SIGPIPE, &action, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    if (options.fileSizeLimit >= 0) {
      ::signal(SIGXFSZ, SIG_IGN);  // the write fails instead of ending the process
      const auto bytes = static_cast<rlim_t>(options.fileSizeLimit);
      struct rlimit limit = {bytes, bytes};
      if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(126);
    }
    if (options.coreDumps) {
      struct rlimit limit;
      ::getrlimit(RLIMIT_CORE, &limit);
      limit.rlim_cur = limit.rlim_max;
      ::setrlimit(RLIMIT_CORE, &limit);
    }
    if (options.unprivileged && ::geteuid() == 0) {
      if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
    }
    if (::chdir(dir.c_str()) != 0) ::_exit(126);
    std::vector<char*> argv;
    std::string tool = options.tool.empty() ? std::string(SLIP_TOOL_PATH) : options.tool;
    argv.push_back(tool.data());
    std::vector<std::string> args = options.args;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    ::execv(tool.c_str(), argv.data());
    ::_exit(127);
  }
  ::close(outPipe[1]);
  ::close(errPipe[1]);
  return RunningTool{pid, outPipe[0], errPipe[0]};
}

ToolRun waitTool(RunningTool& tool) {
  ToolRun run;
  run.out = drain(tool.outFd);
  run.err = drain(tool.errFd);
  int status = 0;
  while (::waitpid(tool.pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  run.coreDumped = WIFSIGNALED(status) && WCOREDUMP(status);
  tool.pid = -1;
  return run;
}

ToolRun runTool(const std::string& dir, const RunOptions& options) {
  RunningTool tool = startTool(dir, options);
  return waitTool(tool);
}

ToolRun runProgram(const std::string& dir, const std::string& program, std::vector<std::string> args) {
  RunOptions options;
  options.tool = program;
  options.args = std::move(args);
  return runTool(dir, options);
}

}  // namespace slip::testing
