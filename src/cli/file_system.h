// What the companions' file output needs from the operating system, beyond
// the core's platform layer: what a path names, file identities, exclusive
// creation, syncing, replacing in one step, and removing a temporary file
// from a signal handler. POSIX and Windows each implement it.
#pragma once

#include <string>

namespace slip::cli::fs {

enum class Kind {
  Missing,       // nothing there
  Regular,       // a plain file (or a link to one)
  Folder,        // a folder (or a link to one)
  Device,        // a device, a pipe, a socket: written in place
  DanglingLink,  // a symbolic link to nothing
};

struct PathInfo {
  Kind kind = Kind::Missing;
  bool link = false;       // the path is a symbolic link
  std::string resolved;    // the file a link leads to (the path itself when no link)
  unsigned mode = 0;       // permission bits of a regular file
  bool readOnly = false;   // a regular file nobody may write
};

// Looks at `path`; returns 0, or the system error that prevented it.
int inspect(const std::string& path, PathInfo& info);

// A file's identity, whatever the spelling: device and inode on POSIX,
// volume serial and file index on Windows. False when it cannot be opened.
struct Identity {
  unsigned long long device = 0;
  unsigned long long file = 0;
  bool operator==(const Identity&) const = default;
};
bool identify(const std::string& path, Identity& identity);

// Creates `path` for writing, only if nothing (not even a link) is there.
// Returns a handle for the core's platform::writeFile/closeFile, or -1 with
// *error set (EEXIST when the name is taken).
int createExclusive(const std::string& path, int* error);
// Opens an existing device or pipe for writing, without creating anything.
int openExisting(const std::string& path, int* error);
bool syncFile(int handle, int* error);
bool setMode(int handle, unsigned mode, int* error);
// Replaces `to` by `from` in one step.
bool replace(const std::string& from, const std::string& to, int* error);
void remove(const std::string& path);

// Random bits for temporary names.
unsigned long long randomBits();

// While a temporary file exists, SIGINT and SIGTERM (a console break on
// Windows) remove it and end the run. arm() and disarm() hold those signals
// off while they change what the handler sees.
void installCleanup();
void arm(const std::string& temporary);  // call with the signals held off
void disarm();
void holdSignals();
void releaseSignals();

}  // namespace slip::cli::fs
