// The few things that differ between the home platform (Windows) and POSIX.
//
// Everything the run needs from the operating system passes through here:
// files as small integer handles, the existence test, the floating-point
// reset, arithmetic-fault routing, signal installation and blocking, and the
// line ending of a text record. All file calls are safe in a signal handler.
#pragma once

#include <cstddef>

namespace slip::platform {

// The bytes that end a text record in a file.
#ifdef _WIN32
inline constexpr char kLineEnd[] = "\r\n";
#else
inline constexpr char kLineEnd[] = "\n";
#endif
inline constexpr std::size_t kLineEndSize = sizeof kLineEnd - 1;

// Start-up services.
void routeArithmeticFaults();   // hardware arithmetic faults reach the SIGFPE handler
void resetFloatingPoint();      // round to nearest, double precision, all exceptions masked

// Files. A handle is >= 0; failures return -1 (or false) and set *error.
enum class OpenMode { Update, Read, Write };  // "r+", "r", "w"
bool fileExists(const char* name, int* error);
// True for a named pipe: opening one for update would hold its write end, and
// a reader of it would then never see the end of the data.
bool isPipe(const char* name);
int openFile(const char* name, OpenMode mode, int* error);
long readFile(int handle, void* buffer, std::size_t size, int* error);
// Writes all of `size` bytes at the handle's position; returns the bytes written.
std::size_t writeFile(int handle, const void* data, std::size_t size, int* error);
// Writes all of `size` bytes at `offset`, whatever another thread does with the
// handle meanwhile; the handle's position afterwards is not to be relied on.
std::size_t writeFileAt(int handle, const void* data, std::size_t size, long long offset, int* error);
bool seekFile(int handle, long long offset, int* error);
// What tells one file from another whatever name or link leads to it. On
// POSIX the time of the file's last change of status is part of it, so that
// a file number freed and given to a new file does not match the old one.
struct FileId {
  unsigned long long device = 0;
  unsigned long long index = 0;
  long long changed = 0;
  bool known = false;
  bool operator==(const FileId&) const = default;
};
// True for a file that can be cut and written at an offset (a plain disk file).
// With `id`, also tells which file the handle is open on (in the same call).
bool isPlainFile(int handle, FileId* id = nullptr);
// The system error number for a file in use by the run that it may not open
// again for writing: the text the system gives a busy file.
int inUseError();
long long fileSize(int handle);
bool cutFile(int handle, long long length, int* error);
bool closeFile(int handle, int* error);
// Puts the file `from` in the place of `to`, replacing a file there in one
// step: readers of `to` see the old file or the new one, never a mix.
bool replaceFile(const char* from, const char* to, int* error);
bool removeFile(const char* name);
// The handle of standard output, in binary mode: bytes go out unchanged.
int standardOutput();

// Standard error, unbuffered.
bool standardErrorIsTerminal();  // a progress bar is drawn only on a terminal
void writeError(const char* text, std::size_t size);
void writeError(const char* text);
// The platform's text for a system error number, as perror would print it.
const char* errorText(int error);

// Signals.
enum class Signal { FloatingPoint, Abort, Interrupt, Terminate };
using SignalHandler = void (*)(Signal);
// Installs `handler` for the four signals; an interrupt ignored at start stays ignored.
void installSignalHandlers(SignalHandler handler);
void restoreDefaultAbort();
[[noreturn]] void abortProcess();   // SIGABRT, and never a core file
[[noreturn]] void exitNow(int status);   // no exit processing
// Holds off the asynchronous signals (interrupt, termination) while unit state
// changes; nests. On Windows, where an interrupt is handled on a thread of its
// own, this is a lock that every handler takes before it touches the units.
void blockSignals();
void unblockSignals();

}  // namespace slip::platform
