#include "cli/files.h"

#include <cerrno>
#include <cstdio>
#include <vector>

#include "cli/diagnostics.h"
#include "cli/exit_status.h"
#include "cli/file_system.h"
#include "driver/platform.h"

namespace slip::cli {
namespace {

constexpr unsigned kNameAttempts = 100;
constexpr std::size_t kOutputBlock = 1 << 16;

std::string randomName(const std::string& target, unsigned) {
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%012llx.tmp", fs::randomBits() & 0xffffffffffffULL);
  return target + suffix;
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

// A device or a pipe: written where it is.
std::string writeInPlace(const std::string& target, std::string_view bytes) {
  int error = 0;
  const int handle = fs::openExisting(target, &error);
  if (handle < 0) return failure(target, "cannot open", error);
  if (!writeAndClose(handle, bytes, false, &error)) return failure(target, "cannot write", error);
  return {};
}

// A new file beside `file`, put in its place once whole.
std::string writeBeside(const std::string& target, const std::string& file, const fs::PathInfo& info,
                        std::string_view bytes) {
  int error = 0;
  int handle = -1;
  std::string temporary;
  for (unsigned attempt = 0; attempt < kNameAttempts && handle < 0; ++attempt) {
    temporary = nameSource(file, attempt);
    fs::holdSignals();
    handle = fs::createExclusive(temporary, &error);
    if (handle >= 0) fs::arm(temporary);
    fs::releaseSignals();
    if (handle < 0 && error != EEXIST) break;
  }
  if (handle < 0) {
    return error == EEXIST ? target + ": cannot write: no free temporary name beside it"
                           : failure(target, "cannot create a temporary file beside it", error);
  }
  bool done = info.kind != fs::Kind::Regular || fs::setMode(handle, info.mode, &error);
  if (done) {
    done = writeAndClose(handle, bytes, true, &error);
  } else {
    int ignored = 0;
    platform::closeFile(handle, &ignored);
  }
  const char* doing = "cannot write";
  fs::holdSignals();
  if (done) {
    done = fs::replace(temporary, file, &error);
    if (!done) doing = "cannot replace it (is it open in another program?)";
  }
  if (!done) fs::remove(temporary);
  fs::disarm();
  fs::releaseSignals();
  return done ? std::string() : failure(target, doing, error);
}

}  // namespace

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
  // Each file's identity once; a file that is not there has none, and is
  // the same as another only by the same spelling.
  struct Known {
    const std::string* name;
    fs::Identity identity;
    bool exists;
  };
  auto known = [](const std::string& name) {
    Known k{&name, {}, false};
    k.exists = fs::identify(name, k.identity);
    return k;
  };
  auto same = [](const Known& a, const Known& b) {
    return *a.name == *b.name || (a.exists && b.exists && a.identity == b.identity);
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

std::string writeOutput(const std::string& target, std::string_view bytes) {
  if (target == "-") {
    standardOutput().writeBytes(bytes);
    return standardOutput().finish();
  }
  fs::PathInfo info;
  const int error = fs::inspect(target, info);
  if (error != 0) return failure(target, "cannot write", error);
  switch (info.kind) {
    case fs::Kind::Missing:
    case fs::Kind::Regular:
      if (info.readOnly) return failure(target, "cannot write", EACCES) + " (the file is read-only)";
      return writeBeside(target, info.resolved, info, bytes);
    case fs::Kind::Folder: return failure(target, "cannot write", EISDIR);
    case fs::Kind::Device: return writeInPlace(target, bytes);
    case fs::Kind::DanglingLink: return target + ": cannot write: a symbolic link to nothing";
  }
  return {};
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
