// POSIX side of the companions' file layer.
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "cli/file_system.h"

namespace slip::cli::fs {
namespace {

// What the signal handler removes: a fixed buffer, written only while the
// signals are held off.
char armedPath[PATH_MAX + 64];
volatile sig_atomic_t armed = 0;

void onSignal(int number) {
  if (armed) ::unlink(armedPath);
  // End as the signal would have ended the run, so that a calling shell sees it.
  ::signal(number, SIG_DFL);
  ::raise(number);
}

sigset_t cleanupSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

int inspect(const std::string& path, PathInfo& info) {
  info = PathInfo{};
  info.resolved = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return 0;
    return errno;
  }
  if (S_ISLNK(st.st_mode)) {
    info.link = true;
    if (::stat(path.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      info.kind = Kind::DanglingLink;
      return 0;
    }
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return errno;
    info.resolved = real;
    std::free(real);
  }
  if (S_ISREG(st.st_mode)) {
    info.kind = Kind::Regular;
    info.mode = static_cast<unsigned>(st.st_mode & 07777);
    info.readOnly = (st.st_mode & 0222) == 0;
  } else if (S_ISDIR(st.st_mode)) {
    info.kind = Kind::Folder;
  } else {
    info.kind = Kind::Device;
  }
  return 0;
}

bool identify(const std::string& path, Identity& identity) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return false;
  identity.device = static_cast<unsigned long long>(st.st_dev);
  identity.file = static_cast<unsigned long long>(st.st_ino);
  return true;
}

int createExclusive(const std::string& path, int* error) {
  int handle;
  do {
    handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  } while (handle < 0 && errno == EINTR);
  if (handle < 0) *error = errno;
  return handle;
}

int openExisting(const std::string& path, int* error) {
  int handle;
  do {
    handle = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  } while (handle < 0 && errno == EINTR);
  if (handle < 0) *error = errno;
  return handle;
}

bool syncFile(int handle, int* error) {
  if (::fsync(handle) == 0) return true;
  *error = errno;
  return false;
}

bool setMode(int handle, unsigned mode, int* error) {
  if (::fchmod(handle, static_cast<mode_t>(mode)) == 0) return true;
  *error = errno;
  return false;
}

bool replace(const std::string& from, const std::string& to, int* error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  *error = errno;
  return false;
}

void remove(const std::string& path) { ::unlink(path.c_str()); }

unsigned long long randomBits() {
  unsigned long long bits = 0;
  if (::getrandom(&bits, sizeof bits, GRND_NONBLOCK) == static_cast<ssize_t>(sizeof bits)) return bits;
  // No entropy yet (early boot): the process and the clock still keep two runs apart.
  struct timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return (static_cast<unsigned long long>(::getpid()) << 40) ^ static_cast<unsigned long long>(now.tv_nsec) ^
         (static_cast<unsigned long long>(now.tv_sec) << 20);
}

void installCleanup() {
  struct sigaction action {};
  action.sa_handler = onSignal;
  action.sa_mask = cleanupSignals();
  for (int number : {SIGINT, SIGTERM}) {
    struct sigaction previous {};
    ::sigaction(number, nullptr, &previous);
    // An interrupt ignored at start (a job in the background) stays ignored.
    if (previous.sa_handler != SIG_IGN) ::sigaction(number, &action, nullptr);
  }
}

void arm(const std::string& temporary) {
  if (temporary.size() >= sizeof armedPath) return;
  std::memcpy(armedPath, temporary.c_str(), temporary.size() + 1);
  armed = 1;
}

void disarm() { armed = 0; }

void holdSignals() {
  const sigset_t set = cleanupSignals();
  ::sigprocmask(SIG_BLOCK, &set, nullptr);
}

void releaseSignals() {
  const sigset_t set = cleanupSignals();
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace slip::cli::fs
