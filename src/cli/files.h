// The companions' files: inputs read whole, and outputs written so that a
// user's file is never lost.
//
// readInput(path, bytes, limit) reads a whole file (or "-", standard input).
//
// writeOutputs(files) puts each file's bytes in its target, all or nothing:
//   - a missing or regular target: the bytes go to a new temporary file beside
//     it ("TARGET.RANDOM.tmp", created exclusively, never through a link, mode
//     0600 or the final mode), which is written, synced, closed and checked;
//     an existing target's permission bits are kept, and as the superuser its
//     owner and group. Only when every temporary file is whole are they renamed
//     over their targets, one step each; a set of several files is renamed
//     under a lock file beside the first target ("TARGET.lock", taken as git
//     takes its index lock), so that of two runs writing one set, one run's
//     whole set remains. Of several runs on one single target, the last
//     rename wins and each file is whole.
//   - a symbolic link: the file it points to is replaced so, and the link
//     stays a link; a dangling link is an error, and so is a link another
//     user planted in a sticky folder anyone may write (/tmp), which the
//     system itself would not follow.
//   - a descriptor the process holds open ("-", /dev/stdout, /dev/fd/N, a
//     file the shell opened with `>> log.txt`): written through it, at its
//     place, appending where it appends; never replaced.
//   - a device, a pipe (/dev/null, a FIFO; NUL or CON on Windows): written in
//     place, never replaced.
//   - a folder, a file the caller may not write or with no write permission
//     at all, a folder the caller may not create files in: an error found
//     before anything is written, and nothing changes.
// On every failure before the renames, and on any signal that ends the run
// while temporary files exist, the temporary files are removed and every
// target is as it was; the message names the files written and not written.
//
// Inputs are never overwritten: a program names its inputs and outputs to
// checkTargets before it reads anything, which refuses a target that is the
// same file as an input by any spelling, hard link or symbolic link, and two
// targets that are one file (a new one: the same folder and last name part).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/file_system.h"

namespace slip::cli {

// Reads the whole of `path` into `bytes`. Returns "" or the reason, for
// reportError: "R.csv: cannot read: No such file or directory"; a file larger
// than `limit` bytes is refused as "larger than N MiB".
std::string readInput(const std::string& path, std::string& bytes, std::size_t limit);

// Installs the handlers that remove the temporary files on every signal that
// ends the run (a console break on Windows: the run ends with
// kExitInterrupted or kExitTerminated), and turns a write past the file-size
// limit into an error. Every companion calls it once, first.
void installInterruptCleanup();

// Checks that no target is the same file as an input (nor as another
// target). Returns "" or the mistake, for usageMistake (exit 64):
// "the output 'x.csv' is the input 'rateA-out4.csv'".
std::string checkTargets(std::span<const std::string> inputs, std::span<const std::string> targets);

// Checks what the targets are, before any work: "" or the first failure
// writeOutputs would meet there, for reportError.
std::string checkWritable(std::span<const std::string> targets);

struct OutputFile {
  std::string target;
  std::string bytes;
};

// Writes the set of files as described above. Returns "" or the reason, for
// reportError: "fig.svg: cannot write: Is a directory"; for several files the
// reason ends with the files written and not written ("; not written:
// P.mr, P.fsp").
std::string writeOutputs(std::span<const OutputFile> files);
// One file.
std::string writeOutput(const std::string& target, std::string_view bytes);

// A temporary file beside the file it will replace, with a life of three
// steps: create() makes it and arms the signal cleanup; commit() renames it
// over its file and disarms; the destructor removes a file never committed.
class TemporaryFile {
 public:
  TemporaryFile() = default;
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile();
  // Creates it beside `info.resolved` (the file `target` names) and writes,
  // syncs and closes `bytes` there. "" or the failure, naming `target`.
  std::string create(const std::string& target, const fs::PathInfo& info, std::string_view bytes);
  // Renames it over its file. "" or the failure; either way it is disarmed.
  std::string commit();

 private:
  void release();
  std::string target_, file_, path_;
  int slot_ = -1;
  bool live_ = false;
};

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
  // Writes what is gathered, and leaves standard output open. Returns "" or
  // the failure's text.
  std::string flush();
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
