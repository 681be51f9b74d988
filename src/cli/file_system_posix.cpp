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

// What the signal handler removes: fixed buffers, each written only while
// the signals are held off. A set of files and its lock take six.
constexpr int kSlots = 16;
char armedPaths[kSlots][PATH_MAX + 64];
volatile sig_atomic_t armed[kSlots];

// The signals whose default ends the process and that a handler may catch.
constexpr int kEnding[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU};

void onSignal(int number) {
  for (int slot = 0; slot < kSlots; ++slot)
    if (armed[slot]) ::unlink(armedPaths[slot]);
  // End as the signal would have ended the run, so that a calling shell sees it.
  ::signal(number, SIG_DFL);
  ::raise(number);
}

sigset_t cleanupSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int number : kEnding) sigaddset(&set, number);
  return set;
}

bool mayAccess(const std::string& path, int what) { return ::faccessat(AT_FDCWD, path.c_str(), what, AT_EACCESS) == 0; }

// 0 when the caller may create files in `folder`, else the reason.
int creationError(const std::string& folder) { return mayAccess(folder, W_OK | X_OK) ? 0 : errno; }

}  // namespace

int inspect(const std::string& path, PathInfo& info) {
  info = PathInfo{};
  info.resolved = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) return errno;
    info.createError = creationError(folderOf(path));
    return 0;
  }
  if (S_ISLNK(st.st_mode)) {
    info.link = true;
    struct stat folder {};
    const uid_t me = ::geteuid();
    if (::stat(folderOf(path).c_str(), &folder) == 0 && (folder.st_mode & S_ISVTX) != 0 &&
        (folder.st_mode & S_IWOTH) != 0 && st.st_uid != me && st.st_uid != folder.st_uid) {
      info.kind = Kind::SharedLink;
      return 0;
    }
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
    info.mayWrite = mayAccess(info.resolved, W_OK);
    info.createError = creationError(folderOf(info.resolved));
    info.owner = st.st_uid;
    info.group = st.st_gid;
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

bool sameName(std::string_view a, std::string_view b) { return a == b; }

std::size_t nameLimit(const std::string& folder) {
  const long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  return limit > 0 ? static_cast<std::size_t>(limit) : NAME_MAX;
}

int openDescriptor(const std::string& path) {
  auto number = [&](std::string_view prefix) {
    if (!path.starts_with(prefix) || path.size() == prefix.size() || path.size() > prefix.size() + 9) return -1;
    int n = 0;
    for (char c : std::string_view(path).substr(prefix.size())) {
      if (c < '0' || c > '9') return -1;
      n = n * 10 + (c - '0');
    }
    return n;
  };
  int named = path == "/dev/stdout" ? 1 : path == "/dev/stderr" ? 2 : number("/dev/fd/");
  if (named < 0) named = number("/proc/self/fd/");
  if (named >= 0) return ::fcntl(named, F_GETFD) >= 0 ? named : -1;
  // Any other name: the same file as a descriptor open for writing.
  struct stat target {};
  if (::stat(path.c_str(), &target) != 0 || !S_ISREG(target.st_mode)) return -1;
  for (int fd = 0; fd < 64; ++fd) {
    struct stat open {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY || ::fstat(fd, &open) != 0) continue;
    if (open.st_dev == target.st_dev && open.st_ino == target.st_ino) return fd;
  }
  return -1;
}

int createExclusive(const std::string& path, unsigned mode, int* error) {
  int handle;
  do {
    handle = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, static_cast<mode_t>(mode));
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

bool takeOwnerAndMode(int handle, const PathInfo& info, int* error) {
  // The owner first: changing it clears the set-user-ID and set-group-ID bits.
  const bool owned = ::geteuid() != 0 || ::fchown(handle, static_cast<uid_t>(info.owner), static_cast<gid_t>(info.group)) == 0;
  if (owned && ::fchmod(handle, static_cast<mode_t>(info.mode)) == 0) return true;
  *error = errno;
  return false;
}

bool replace(const std::string& from, const std::string& to, int* error) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  *error = errno;
  return false;
}

void remove(const std::string& path) { ::unlink(path.c_str()); }

void pause() {
  const struct timespec wait = {0, 20 * 1000 * 1000};
  ::nanosleep(&wait, nullptr);
}

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
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  for (int number : kEnding) {
    struct sigaction previous {};
    ::sigaction(number, nullptr, &previous);
    // A signal ignored at start (an interrupt for a job in the background) stays ignored.
    if (previous.sa_handler != SIG_IGN) ::sigaction(number, &action, nullptr);
  }
  ::sigaction(SIGXFSZ, &ignore, nullptr);
}

int arm(const std::string& temporary) {
  if (temporary.size() >= sizeof armedPaths[0]) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (armed[slot]) continue;
    std::memcpy(armedPaths[slot], temporary.c_str(), temporary.size() + 1);
    armed[slot] = 1;
    return slot;
  }
  return -1;
}

void disarm(int slot) {
  if (slot >= 0) armed[slot] = 0;
}

void holdSignals() {
  const sigset_t set = cleanupSignals();
  ::sigprocmask(SIG_BLOCK, &set, nullptr);
}

void releaseSignals() {
  const sigset_t set = cleanupSignals();
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
}

}  // namespace slip::cli::fs
