// Runs the real slipreport (or a companion) binary in a scratch folder and captures what it did.
#pragma once

#include <string>
#include <vector>

namespace slip::testing {

// A fresh folder under the system's temporary directory, removed with its contents.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const;
  std::string read(const std::string& name) const;
  bool exists(const std::string& name) const;

 private:
  std::string path_;
};

struct ToolRun {
  int exitCode = -1;   // exit status when the tool exited normally, else -1
  int signal = 0;      // the signal that ended it, else 0
  std::string out;     // standard output
  std::string err;     // standard error (empty when nobody read it)
  bool coreDumped = false;  // the system says the process left a core dump
};

struct RunOptions {
  std::vector<std::string> args;   // extra command-line arguments
  bool unprivileged = false;       // run as an unprivileged user when the tests run as root
  bool ignoreInterrupt = false;    // start the tool with SIGINT ignored
  long long fileSizeLimit = -1;    // >= 0: no file may grow past this many bytes;
                                   // a write past it fails with EFBIG
  bool unreadStandardError = false;  // standard error is a pipe nobody reads:
                                     // writing to it raises SIGPIPE
  std::string tool = {};             // the program; empty for slipreport
  std::string standardOutput = {};   // a file to open as standard output instead of a pipe
  bool coreDumps = false;            // core dumps enabled, as far as the hard limit allows
};

// Runs the tool with `dir` as its working directory and waits for it.
ToolRun runTool(const std::string& dir, const RunOptions& options = {});

// Runs `program` (a companion's path) with `args` in `dir` and waits for it.
ToolRun runProgram(const std::string& dir, const std::string& program, std::vector<std::string> args = {});

// Starts the tool in `dir` without waiting; finish it with waitTool.
struct RunningTool {
  int pid = -1;
  int outFd = -1;
  int errFd = -1;
};
RunningTool startTool(const std::string& dir, const RunOptions& options = {});
ToolRun waitTool(RunningTool& tool);

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

}  // namespace slip::testing
