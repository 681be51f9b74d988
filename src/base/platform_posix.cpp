// POSIX side of the platform layer.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/platform.h"

namespace slip::platform {
namespace {

SignalHandler installedHandler = nullptr;
int blockDepth = 0;

void onSignal(int number) {
  switch (number) {
    case SIGFPE: installedHandler(Signal::FloatingPoint); break;
    case SIGABRT: installedHandler(Signal::Abort); break;
    case SIGINT: installedHandler(Signal::Interrupt); break;
    default: installedHandler(Signal::Terminate); break;
  }
}

sigset_t asyncSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGFPE);
  sigaddset(&set, SIGABRT);
  return set;
}

}  // namespace

// POSIX delivers arithmetic faults as SIGFPE by itself.
void routeArithmeticFaults() {}

void resetFloatingPoint() { std::fesetenv(FE_DFL_ENV); }

bool fileExists(const char* name, int* error) {
  if (::access(name, F_OK) == 0) return true;
  *error = errno;
  return false;
}

bool isPipe(const char* name) {
  struct stat info;
  return ::stat(name, &info) == 0 && S_ISFIFO(info.st_mode);
}

int openFile(const char* name, OpenMode mode, int* error) {
  int flags = O_RDWR;
  if (mode == OpenMode::Read) flags = O_RDONLY;
  if (mode == OpenMode::Write) flags = O_WRONLY | O_CREAT | O_TRUNC;
  int handle;
  do {
    handle = ::open(name, flags | O_CLOEXEC, 0666);
  } while (handle < 0 && errno == EINTR);
  if (handle < 0) *error = errno;
  return handle;
}

long readFile(int handle, void* buffer, std::size_t size, int* error) {
  for (;;) {
    ssize_t n = ::read(handle, buffer, size);
    if (n >= 0) return static_cast<long>(n);
    if (errno != EINTR) {
      *error = errno;
      return -1;
    }
  }
}

std::size_t writeFile(int handle, const void* data, std::size_t size, int* error) {
  const char* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(handle, bytes + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

std::size_t writeFileAt(int handle, const void* data, std::size_t size, long long offset, int* error) {
  const char* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pwrite(handle, bytes + done, size - done, static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = errno;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool replaceFile(const char* from, const char* to, int* error) {
  if (::rename(from, to) == 0) return true;
  *error = errno;
  return false;
}

bool removeFile(const char* name) { return ::unlink(name) == 0; }

int standardOutput() { return 1; }

bool seekFile(int handle, long long offset, int* error) {
  if (::lseek(handle, static_cast<off_t>(offset), SEEK_SET) >= 0) return true;
  *error = errno;
  return false;
}

bool isPlainFile(int handle, FileId* id) {
  struct stat st;
  if (::fstat(handle, &st) != 0) return false;
  if (id != nullptr) {
    *id = {static_cast<unsigned long long>(st.st_dev), static_cast<unsigned long long>(st.st_ino),
           static_cast<long long>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec, true};
  }
  return S_ISREG(st.st_mode);
}

int inUseError() { return ETXTBSY; }

long long fileSize(int handle) {
  struct stat st;
  return ::fstat(handle, &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

bool cutFile(int handle, long long length, int* error) {
  if (::ftruncate(handle, static_cast<off_t>(length)) == 0) return true;
  *error = errno;
  return false;
}

bool closeFile(int handle, int* error) {
  if (::close(handle) == 0 || errno == EINTR) return true;
  *error = errno;
  return false;
}

void writeError(const char* text, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(2, text, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return;
    }
    text += n;
    size -= static_cast<std::size_t>(n);
  }
}

void writeError(const char* text) { writeError(text, std::strlen(text)); }

const char* errorText(int error) { return std::strerror(error); }

void installSignalHandlers(SignalHandler handler) {
  installedHandler = handler;
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_mask = asyncSignals();
  ::sigaction(SIGFPE, &action, nullptr);
  ::sigaction(SIGABRT, &action, nullptr);
  struct sigaction previous = {};
  ::sigaction(SIGINT, nullptr, &previous);
  if (previous.sa_handler != SIG_IGN) ::sigaction(SIGINT, &action, nullptr);
  ::sigaction(SIGTERM, &action, nullptr);
  // Standard error may be a pipe whose reader has gone: a diagnostic or a
  // signal's word that cannot be written must not end the process before
  // its units are closed.
  struct sigaction ignore = {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGPIPE, &ignore, nullptr);
}

void restoreDefaultAbort() {
  struct sigaction action = {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGABRT, &action, nullptr);
}

// The abnormal end is deliberate and its diagnostic says why: a core file
// would tell no more and would be left in the user's model folder.
void abortProcess() {
  struct rlimit noCore = {0, 0};
  ::setrlimit(RLIMIT_CORE, &noCore);
  std::abort();
}

void exitNow(int status) { ::_exit(status); }

void blockSignals() {
  if (blockDepth++ == 0) {
    sigset_t set = asyncSignals();
    ::sigprocmask(SIG_BLOCK, &set, nullptr);
  }
}

void unblockSignals() {
  if (blockDepth > 0 && --blockDepth == 0) {
    sigset_t set = asyncSignals();
    ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  }
}

bool standardErrorIsTerminal() { return ::isatty(2) == 1; }

}  // namespace slip::platform
