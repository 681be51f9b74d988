// What the companions' file output needs from the operating system, beyond
// the core's platform layer: what a path names, file identities, exclusive
// creation, syncing, owners, replacing in one step, and removing temporary
// files from a signal handler. POSIX and Windows each implement it.
#pragma once

#include <string>
#include <string_view>

namespace slip::cli::fs {

// The characters that end a folder's name in a path.
#ifdef _WIN32
inline constexpr char kSeparators[] = "/\\";
#else
inline constexpr char kSeparators[] = "/";
#endif

// Where a path's last name part starts, and the folder before it ("." when none).
inline std::size_t lastPartAt(std::string_view path) {
  const std::size_t slash = path.find_last_of(kSeparators);
  return slash == std::string_view::npos ? 0 : slash + 1;
}
inline std::string folderOf(const std::string& path) {
  const std::size_t at = lastPartAt(path);
  return at == 0 ? "." : at == 1 ? path.substr(0, 1) : path.substr(0, at - 1);
}

enum class Kind {
  Missing,       // nothing there
  Regular,       // a plain file (or a link to one)
  Folder,        // a folder (or a link to one)
  Device,        // a device, a pipe, a socket: written in place
  DanglingLink,  // a symbolic link to nothing
  SharedLink,    // a link the system itself would not follow (see below)
};

struct PathInfo {
  Kind kind = Kind::Missing;
  bool link = false;       // the path is a symbolic link
  std::string resolved;    // the file a link leads to (the path itself when no link)
  unsigned mode = 0;       // permission bits of a regular file
  bool readOnly = false;   // a regular file nobody may write (no write bit at all)
  bool mayWrite = true;    // the caller may write the regular file (the system's own access check)
  int createError = 0;     // why the caller may not create files beside `resolved` (0: it may)
  unsigned owner = 0;      // a regular file's owner and group (POSIX)
  unsigned group = 0;
};

// Looks at `path`; returns 0, or the system error that prevented it.
// A symbolic link in a sticky folder anyone may write (/tmp), owned by
// neither the caller nor the folder's owner, is Kind::SharedLink: the kernel
// refuses to follow such a link for a program that opens it, so a program
// that resolves links itself must refuse it too.
int inspect(const std::string& path, PathInfo& info);

// A file's identity, whatever the spelling: device and inode on POSIX,
// volume serial and file index on Windows. False when it cannot be opened.
struct Identity {
  unsigned long long device = 0;
  unsigned long long file = 0;
  bool operator==(const Identity&) const = default;
};
bool identify(const std::string& path, Identity& identity);
// Whether two last name parts in one folder name the same file (Windows
// ignores letter case).
bool sameName(std::string_view a, std::string_view b);
// The longest last name part the file system holding `folder` allows.
std::size_t nameLimit(const std::string& folder);

// The descriptor a target names, already open in this process for writing:
// /dev/stdout, /dev/stderr, /dev/fd/N, /proc/self/fd/N, or any file that is
// one of the process's open descriptors (log.txt in `>> log.txt`). -1 when none.
int openDescriptor(const std::string& path);

// Creates `path` for writing, only if nothing (not even a link) is there, with
// the permission bits `mode` (narrowed by the umask). Returns a handle for the
// core's platform::writeFile/closeFile, or -1 with *error set (EEXIST when the
// name is taken).
int createExclusive(const std::string& path, unsigned mode, int* error);
// Opens an existing device or pipe for writing, without creating anything.
int openExisting(const std::string& path, int* error);
bool syncFile(int handle, int* error);
// Gives a new file the permission bits of the file it replaces and, when the
// caller is the superuser, its owner and group too.
bool takeOwnerAndMode(int handle, const PathInfo& info, int* error);
// Replaces `to` by `from` in one step.
bool replace(const std::string& from, const std::string& to, int* error);
void remove(const std::string& path);
// Waits a few milliseconds (a lock held by another run).
void pause();

// Random bits for temporary names.
unsigned long long randomBits();

// While temporary files exist, every signal that would end the run (SIGHUP,
// SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU; a
// console break on Windows) removes them and ends the run as the signal
// would. SIGXFSZ is ignored, so that a write past the file-size limit fails
// with "File too large" like any other. arm() and disarm() are called with
// the signals held off; arm() returns a slot for disarm(), or -1 when every
// slot is taken (the file is then not armed).
void installCleanup();
int arm(const std::string& temporary);
void disarm(int slot);
void holdSignals();
void releaseSignals();

}  // namespace slip::cli::fs
