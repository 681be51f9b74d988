#include "cli/files.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include "base/platform.h"
#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/file_system.h"

namespace slip::cli {
namespace {

constexpr unsigned kNameAttempts = 100;
constexpr unsigned kLockAttempts = 500;  // 20 ms apart: ten seconds
constexpr std::size_t kOutputBlock = 1 << 16;

using fs::folderOf;
using fs::lastPartAt;

// `file` + `suffix`, the last name part shortened before the suffix where the
// whole would pass the file system's limit and `file`'s own name does not.
std::string besideName(const std::string& file, const std::string& suffix) {
  const std::size_t at = lastPartAt(file);
  const std::size_t part = file.size() - at;
  const std::size_t limit = fs::nameLimit(folderOf(file));
  if (part + suffix.size() <= limit || part > limit || suffix.size() >= limit) return file + suffix;
  return file.substr(0, at + limit - suffix.size()) + suffix;
}

std::string randomName(const std::string& target, unsigned) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%012llx.tmp", fs::randomBits() & 0xffffffffffffULL);
  return besideName(target, suffix);
}

TemporaryNameSource nameSource = randomName;

std::string failure(const std::string& target, const char* doing, int error) {
  return target + ": " + doing + ": " + platform::errorText(error);
}

// Writes all of `bytes` and closes the handle; false with *error set on any failure.
bool writeAndClose(int handle, std::string_view bytes, bool sync, int* error) {
  bool done = platform::writeFile(handle, bytes.data(), bytes.size(), error) == bytes.size();
  done = done && (!sync || fs::syncFile(handle, error));
  int closeError = 0;
  const bool closed = platform::closeFile(handle, &closeError);
  if (done && !closed) *error = closeError;
  return done && closed;
}

// How one target is written.
enum class Way { StandardOutput, Descriptor, Device, Replace };

struct Plan {
  Way way = Way::Replace;
  int descriptor = -1;
  fs::PathInfo info;
};

// Looks at a target: "" and how to write it, or why it cannot be written.
std::string plan(const std::string& target, Plan& p) {
  p = Plan{};
  if (target == "-") {
    p.way = Way::StandardOutput;
    return {};
  }
  p.descriptor = fs::openDescriptor(target);
  if (p.descriptor >= 0) {
    p.way = p.descriptor == platform::standardOutput() ? Way::StandardOutput : Way::Descriptor;
    return {};
  }
  const int error = fs::inspect(target, p.info);
  if (error != 0) return failure(target, "cannot write", error);
  switch (p.info.kind) {
    case fs::Kind::Missing:
    case fs::Kind::Regular:
      if (p.info.readOnly) return failure(target, "cannot write", EACCES) + " (the file is read-only)";
      if (!p.info.mayWrite) return failure(target, "cannot write", EACCES) + " (you may not write the file)";
      if (p.info.createError != 0) return failure(target, "cannot create a temporary file beside it", p.info.createError);
      return {};
    case fs::Kind::Folder: return failure(target, "cannot write", EISDIR);
    case fs::Kind::Device: p.way = Way::Device; return {};
    case fs::Kind::DanglingLink: return target + ": cannot write: a symbolic link to nothing";
    case fs::Kind::SharedLink:
      return target + ": cannot write: a symbolic link in a shared sticky folder, owned by neither you nor the "
                      "folder's owner (the system does not follow such links)";
  }
  return {};
}

// Writes a target that is written where it is.
std::string writeInPlace(const std::string& target, const Plan& p, std::string_view bytes) {
  int error = 0;
  switch (p.way) {
    case Way::StandardOutput:
      standardOutput().writeBytes(bytes);
      return target == "-" ? standardOutput().finish() : standardOutput().flush();
    case Way::Descriptor:
      if (platform::writeFile(p.descriptor, bytes.data(), bytes.size(), &error) != bytes.size())
        return failure(target, "cannot write", error != 0 ? error : EIO);
      return {};
    case Way::Device: {
      const int handle = fs::openExisting(target, &error);
      if (handle < 0) return failure(target, "cannot open", error);
      if (!writeAndClose(handle, bytes, false, &error)) return failure(target, "cannot write", error);
      return {};
    }
    case Way::Replace: break;
  }
  return {};
}

// "; written: A; not written: B, C" for a set of several files.
std::string account(std::span<const OutputFile> files, const std::vector<bool>& written) {
  if (files.size() < 2) return {};
  std::string done, undone;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string& list = written[i] ? done : undone;
    list += (list.empty() ? "" : ", ") + files[i].target;
  }
  std::string text;
  if (!done.empty()) text += "; written: " + done;
  if (!undone.empty()) text += "; not written: " + undone;
  return text;
}

// The lock under which a set's renames are made: a file created exclusively
// beside the first target, removed when the set is in place. Another run
// holding it is waited for, up to ten seconds.
class SetLock {
 public:
  std::string take(const std::string& file) {
    path_ = besideName(file, ".lock");
    int error = 0;
    for (unsigned attempt = 0; attempt < kLockAttempts; ++attempt) {
      fs::holdSignals();
      const int handle = fs::createExclusive(path_, 0600, &error);
      if (handle >= 0) slot_ = fs::arm(path_);
      fs::releaseSignals();
      if (handle >= 0) {
        platform::closeFile(handle, &error);
        held_ = true;
        return {};
      }
      if (error != EEXIST) return failure(path_, "cannot take the lock", error);
      fs::pause();
    }
    return path_ + ": another run is writing these files (remove the lock if none is)";
  }
  ~SetLock() {
    if (!held_) return;
    fs::holdSignals();
    fs::remove(path_);
    fs::disarm(slot_);
    fs::releaseSignals();
  }

 private:
  std::string path_;
  int slot_ = -1;
  bool held_ = false;
};

}  // namespace

TemporaryFile::~TemporaryFile() { release(); }

void TemporaryFile::release() {
  if (!live_) return;
  fs::holdSignals();
  fs::remove(path_);
  fs::disarm(slot_);
  live_ = false;
  fs::releaseSignals();
}

std::string TemporaryFile::create(const std::string& target, const fs::PathInfo& info, std::string_view bytes) {
  target_ = target;
  file_ = info.resolved;
  const bool replacing = info.kind == fs::Kind::Regular;
  int error = 0;
  int handle = -1;
  for (unsigned attempt = 0; attempt < kNameAttempts && handle < 0; ++attempt) {
    path_ = nameSource(file_, attempt);
    fs::holdSignals();
    // A new file gets its final mode at once; a replacement starts private
    // and takes the old file's owner and mode before any byte is written.
    handle = fs::createExclusive(path_, replacing ? 0600 : 0666, &error);
    if (handle >= 0) {
      slot_ = fs::arm(path_);
      live_ = true;
    }
    fs::releaseSignals();
    if (handle < 0 && error != EEXIST) break;
  }
  if (handle < 0) {
    return error == EEXIST ? target + ": cannot write: no free temporary name beside it"
                           : failure(target, "cannot create a temporary file beside it", error);
  }
  bool done = !replacing || fs::takeOwnerAndMode(handle, info, &error);
  if (done) {
    done = writeAndClose(handle, bytes, true, &error);
  } else {
    int ignored = 0;
    platform::closeFile(handle, &ignored);
  }
  if (done) return {};
  release();
  return failure(target, "cannot write", error);
}

std::string TemporaryFile::commit() {
  int error = 0;
  fs::holdSignals();
  const bool done = fs::replace(path_, file_, &error);
  if (done) {
    fs::disarm(slot_);
    live_ = false;
  }
  fs::releaseSignals();
  release();
  return done ? std::string() : failure(target_, "cannot replace it (is it open in another program?)", error);
}

std::string readInput(const std::string& path, std::string& bytes, std::size_t limit) {
  int error = 0;
  const bool standardInput = path == "-";
  const int handle = standardInput ? 0 : platform::openFile(path.c_str(), platform::OpenMode::Read, &error);
  if (handle < 0) return failure(path, "cannot read", error);
  bytes.clear();
  char buffer[1 << 16];
  std::string problem;
  for (;;) {
    const long n = platform::readFile(handle, buffer, sizeof buffer, &error);
    if (n < 0) problem = failure(path, "cannot read", error);
    if (n <= 0) break;
    if (bytes.size() + static_cast<std::size_t>(n) > limit) {
      problem = path + ": cannot read: larger than " + std::to_string(limit >> 20) + " MiB";
      break;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  if (!standardInput) platform::closeFile(handle, &error);
  return problem;
}

std::string checkTargets(std::span<const std::string> inputs, std::span<const std::string> targets) {
  // Each file's identity once: an existing file's own; a new one's, the
  // identity of its folder and its last name part.
  struct Known {
    const std::string* name;
    fs::Identity identity;
    bool exists;
    bool placed;  // a new file whose folder is known
  };
  auto known = [](const std::string& name) {
    Known k{&name, {}, false, false};
    k.exists = fs::identify(name, k.identity);
    if (!k.exists) k.placed = fs::identify(folderOf(name), k.identity);
    return k;
  };
  auto same = [](const Known& a, const Known& b) {
    if (*a.name == *b.name) return true;
    if (a.exists != b.exists || !(a.identity == b.identity)) return false;
    return a.exists ||
           (a.placed && b.placed && fs::sameName(std::string_view(*a.name).substr(lastPartAt(*a.name)),
                                                 std::string_view(*b.name).substr(lastPartAt(*b.name))));
  };
  std::vector<Known> ins;
  for (const std::string& input : inputs) ins.push_back(known(input));
  std::vector<Known> outs;
  for (const std::string& target : targets) {
    if (target == "-") continue;
    const Known out = known(target);
    for (const Known& in : ins) {
      if (same(in, out)) return "the output '" + target + "' is the input '" + *in.name + "'";
    }
    for (const Known& other : outs) {
      if (same(other, out)) return "the outputs '" + *other.name + "' and '" + target + "' are the same file";
    }
    outs.push_back(out);
  }
  return {};
}

std::string checkWritable(std::span<const std::string> targets) {
  Plan p;
  for (const std::string& target : targets) {
    std::string problem = plan(target, p);
    if (!problem.empty()) return targets.size() > 1 ? problem + "; nothing written" : problem;
  }
  return {};
}

std::string writeOutputs(std::span<const OutputFile> files) {
  std::vector<Plan> plans(files.size());
  std::vector<bool> written(files.size(), false);
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string problem = plan(files[i].target, plans[i]);
    if (!problem.empty()) return problem + account(files, written);
  }
  // Every temporary file whole first; on a failure here, the destructors
  // remove them and no target has changed.
  std::vector<std::unique_ptr<TemporaryFile>> temporaries(files.size());
  std::size_t replaced = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (plans[i].way != Way::Replace) continue;
    temporaries[i] = std::make_unique<TemporaryFile>();
    std::string problem = temporaries[i]->create(files[i].target, plans[i].info, files[i].bytes);
    if (!problem.empty()) return problem + account(files, written);
    ++replaced;
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (plans[i].way == Way::Replace) continue;
    std::string problem = writeInPlace(files[i].target, plans[i], files[i].bytes);
    if (!problem.empty()) return problem + account(files, written);
    written[i] = true;
  }
  SetLock lock;
  if (replaced > 1) {
    std::size_t first = 0;
    while (temporaries[first] == nullptr) ++first;
    std::string problem = lock.take(plans[first].info.resolved);
    if (!problem.empty()) return problem + account(files, written);
  }
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (temporaries[i] == nullptr) continue;
    std::string problem = temporaries[i]->commit();
    if (!problem.empty()) return problem + account(files, written);
    written[i] = true;
  }
  return {};
}

std::string writeOutput(const std::string& target, std::string_view bytes) {
  const OutputFile file[] = {{target, std::string(bytes)}};
  return writeOutputs(file);
}

void setTemporaryNameSource(TemporaryNameSource source) { nameSource = source != nullptr ? source : randomName; }

void installInterruptCleanup() { fs::installCleanup(); }

void StandardOutput::write(std::string_view text) {
  if (platform::kLineEndSize == 1) {
    writeBytes(text);
    return;
  }
  // Text on a platform whose lines end in CR LF.
  for (char c : text) {
    if (c == '\n') pending_ += '\r';
    pending_ += c;
  }
  if (pending_.size() >= kOutputBlock) drain();
}

void StandardOutput::writeBytes(std::string_view bytes) {
  pending_ += bytes;
  if (pending_.size() >= kOutputBlock) drain();
}

void StandardOutput::drain() {
  if (error_ == 0 && !closed_ && !pending_.empty()) {
    int error = 0;
    if (platform::writeFile(platform::standardOutput(), pending_.data(), pending_.size(), &error) != pending_.size())
      error_ = error != 0 ? error : EIO;
  }
  pending_.clear();
}

std::string StandardOutput::flush() {
  drain();
  return error_ == 0 ? std::string() : std::string("standard output: ") + platform::errorText(error_);
}

std::string StandardOutput::finish() {
  drain();
  if (error_ == 0 && !closed_) {
    closed_ = true;
    int error = 0;
    if (!platform::closeFile(platform::standardOutput(), &error)) error_ = error;
  }
  return error_ == 0 ? std::string() : std::string("standard output: ") + platform::errorText(error_);
}

StandardOutput& standardOutput() {
  static StandardOutput out;
  return out;
}

int finishRun(const char* program, int status) {
  const std::string failure = standardOutput().finish();
  if (failure.empty()) return status;
  reportError(program, failure);
  return kExitFailed;
}

}  // namespace slip::cli
