// The companions' files: inputs read whole, and outputs written so that a
// user's file is never lost.
//
// readInput(path, bytes, limit) reads a whole file (or "-", standard input).
//
// writeOutput(target, bytes) puts `bytes` in the file `target`:
//   - a missing or regular target: the bytes go to a new temporary file beside
//     it ("TARGET.RANDOM.tmp", created exclusively, never through a link),
//     which is flushed, synced, closed and checked, then renamed over the
//     target in one step; an existing target's permission bits are kept. Of
//     several runs on one target, the last rename wins and each file is whole.
//   - a symbolic link: the file it points to is replaced so, and the link
//     stays a link; a dangling link is an error.
//   - a device, a pipe (/dev/null, /dev/stdout, a FIFO; NUL or CON on
//     Windows): written in place, never replaced; "-" is standard output.
//   - a folder, a read-only file: an error, and nothing changes.
// On every failure, and on SIGINT or SIGTERM while a temporary file exists,
// the temporary file is removed and the target is as it was.
//
// Inputs are never overwritten: a program names its inputs and outputs to
// checkTargets before it reads anything, which refuses a target that is the
// same file as an input by any spelling, hard link or symbolic link.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace slip::cli {

// Reads the whole of `path` into `bytes`. Returns "" or the reason, for
// reportError: "R.csv: cannot read: No such file or directory"; a file larger
// than `limit` bytes is refused as "larger than N MiB".
std::string readInput(const std::string& path, std::string& bytes, std::size_t limit);

// Installs the handlers that remove a temporary file on SIGINT and SIGTERM
// (a console break on Windows) and end the run with kExitInterrupted or
// kExitTerminated. Every companion calls it once, first.
void installInterruptCleanup();

// Checks that no target is the same file as an input (nor as another
// target). Returns "" or the mistake, for usageMistake (exit 64):
// "the output 'x.csv' is the input 'rateA-out4.csv'".
std::string checkTargets(std::span<const std::string> inputs, std::span<const std::string> targets);

// Writes `bytes` to `target` as described above. Returns "" or the reason,
// for reportError: "fig.svg: cannot write: Is a directory".
std::string writeOutput(const std::string& target, std::string_view bytes);

// The temporary names a write tries, in order; tests replace the source to
// plant a file at exactly the name a run will pick. The default is random.
using TemporaryNameSource = std::string (*)(const std::string& target, unsigned attempt);
void setTemporaryNameSource(TemporaryNameSource source);  // nullptr: the default

// Standard output with every write checked: text is gathered and written in
// blocks; finish() writes the rest and closes it. On a failed write the rest
// is dropped, and finish() says "standard output: No space left on device".
class StandardOutput {
 public:
  // Text: on Windows each LF goes out as CR LF, as the platform's text files end lines.
  void write(std::string_view text);
  // Bytes, unchanged (a figure on standard output).
  void writeBytes(std::string_view bytes);
  // Returns "" or the failure's text for reportError. Later writes are dropped.
  std::string finish();

 private:
  void drain();
  std::string pending_;
  int error_ = 0;
  bool closed_ = false;
};

// The companions' one standard output.
StandardOutput& standardOutput();

// Ends a run: standard output finished and closed. Returns `status`, or, when
// that fails, kExitFailed after "PROG: error: standard output: ...".
int finishRun(const char* program, int status);

}  // namespace slip::cli
