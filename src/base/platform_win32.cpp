// Windows side of the platform layer.
//
// Files are the C runtime's descriptors (_open, _read, _write), always in
// binary mode: the record layer writes kLineEnd itself and the model reader
// applies the text-mode view (CR LF as LF, Ctrl-Z as the end) on every
// platform, so the bytes are those the runtime's text mode would give.
//
// Signals and the unit lock. The runtime calls an interrupt handler on a
// thread of its own while the main sequence goes on, where POSIX stops the
// main sequence for the handler. Holding the asynchronous signals off is
// therefore a lock here: blockSignals() enters `unitLock` (recursively, with
// a depth count) and unblockSignals() leaves it, so the main sequence changes
// `base`/`pending`, swaps a unit's handle or frees its buffers only inside
// it. Every handler enters the lock before it reads the unit table and never
// leaves it: the handler ends the process, and a main sequence that reaches
// its next change of unit state waits there until the process is gone. What
// the main sequence does outside the lock is harmless to a running handler:
// it writes pending records at their own offsets (the same bytes the handler
// writes, or whole records past them, so the report stays a beginning of the
// full report), and copies a new record beyond `pending` before publishing
// it. A handler calls no runtime function that
// takes a descriptor lock (the main thread may hold one while it sleeps in
// _read), and once a handler has begun, closing a file is left to the end
// of the process, which closes every handle.
#include <fcntl.h>
#include <float.h>
#include <io.h>
#include <signal.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>

#include "base/platform.h"

namespace slip::platform {
namespace {

SignalHandler installedHandler = nullptr;
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

struct UnitLock {
  CRITICAL_SECTION section;
  int depth = 0;  // touched only by the thread that holds the section
  UnitLock() { InitializeCriticalSection(&section); }
} unitLock;

// Set by a handler once it holds the unit lock: the process is ending.
std::atomic<bool> ending{false};

HANDLE osHandle(int handle) { return reinterpret_cast<HANDLE>(_get_osfhandle(handle)); }

// The system error number for a failed Windows call, as the runtime maps it.
int errnoFor(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return EACCES;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_NOT_ENOUGH_MEMORY:
    case ERROR_OUTOFMEMORY: return ENOMEM;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_INVALID_PARAMETER:
    case ERROR_NEGATIVE_SEEK: return EINVAL;
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA: return EPIPE;
    default: return EIO;
  }
}

Signal signalFor(int number) {
  switch (number) {
    case SIGFPE: return Signal::FloatingPoint;
    case SIGABRT: return Signal::Abort;
    case SIGINT: return Signal::Interrupt;
    default: return Signal::Terminate;
  }
}

void __cdecl onSignal(int number) {
  // The runtime resets a signal to its default before calling the handler;
  // a second interrupt would then end the process at once, in the middle of
  // the cut. Reinstalled, it waits on the lock below instead.
  if (number == SIGINT || number == SIGTERM) ::signal(number, onSignal);
  EnterCriticalSection(&unitLock.section);
  ending.store(true);
  installedHandler(signalFor(number));
}

bool isArithmeticFault(DWORD code) {
  switch (code) {
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case STATUS_FLOAT_MULTIPLE_FAULTS:  // SSE faults with more than one cause
    case STATUS_FLOAT_MULTIPLE_TRAPS:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:        // the most negative integer divided by -1
      return true;
    default:
      return false;
  }
}

LONG WINAPI arithmeticFilter(EXCEPTION_POINTERS* info) {
  if (isArithmeticFault(info->ExceptionRecord->ExceptionCode)) {
    // The handler ends the process; without one the runtime's default does.
    ::raise(SIGFPE);
  }
  return previousFilter != nullptr ? previousFilter(info) : EXCEPTION_CONTINUE_SEARCH;
}

[[noreturn]] void terminateWith(int status) {
  // No exit processing and no runtime lock: the main sequence may be inside
  // exit() or a descriptor call while a handler ends the process.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(status));
  for (;;) Sleep(INFINITE);
}

}  // namespace

// Windows reports hardware arithmetic faults as structured exceptions; the
// filter turns the ones that no one handles into SIGFPE.
void routeArithmeticFaults() { previousFilter = SetUnhandledExceptionFilter(arithmeticFilter); }

// _fpreset gives the x87 unit its power-on state; the SSE unit, which does
// the double arithmetic, gets round to nearest, no flush to zero and every
// exception masked.
void resetFloatingPoint() {
  _fpreset();
  _control87(_MCW_EM | _RC_NEAR | _DN_SAVE, _MCW_EM | _MCW_RC | _MCW_DN);
  _clearfp();
}

// A model delivered through a Windows pipe has no name in the folder.
bool isPipe(const char*) { return false; }

bool fileExists(const char* name, int* error) {
  if (_access(name, 0) == 0) return true;
  *error = errno;
  return false;
}

int openFile(const char* name, OpenMode mode, int* error) {
  int flags = _O_RDWR;
  if (mode == OpenMode::Read) flags = _O_RDONLY;
  if (mode == OpenMode::Write) flags = _O_WRONLY | _O_CREAT | _O_TRUNC;
  int handle = _open(name, flags | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (handle < 0) *error = errno;
  return handle;
}

long readFile(int handle, void* buffer, std::size_t size, int* error) {
  unsigned int chunk = size > INT_MAX ? INT_MAX : static_cast<unsigned int>(size);
  int n = _read(handle, buffer, chunk);
  if (n < 0) *error = errno;
  return n;
}

std::size_t writeFile(int handle, const void* data, std::size_t size, int* error) {
  const char* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    std::size_t left = size - done;
    unsigned int chunk = left > INT_MAX ? INT_MAX : static_cast<unsigned int>(left);
    int n = _write(handle, bytes + done, chunk);
    if (n <= 0) {
      *error = n < 0 ? errno : ENOSPC;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

// WriteFile with an offset in its OVERLAPPED block writes there whatever the
// other threads do with the handle. On a handle opened for synchronous I/O
// it leaves the position past the bytes written.
std::size_t writeFileAt(int handle, const void* data, std::size_t size, long long offset, int* error) {
  HANDLE file = osHandle(handle);
  const char* bytes = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    std::size_t left = size - done;
    DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    unsigned long long at = static_cast<unsigned long long>(offset) + done;
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at & 0xFFFFFFFFu);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD n = 0;
    if (!WriteFile(file, bytes + done, chunk, &n, &where)) {
      *error = errnoFor(GetLastError());
      break;
    }
    if (n == 0) {
      *error = ENOSPC;
      break;
    }
    done += n;
  }
  return done;
}

// Names are in the C runtime's narrow code page, as _open takes them.
bool replaceFile(const char* from, const char* to, int* error) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  *error = errnoFor(GetLastError());
  return false;
}

bool removeFile(const char* name) { return _unlink(name) == 0; }

int standardOutput() {
  _setmode(1, _O_BINARY);
  return 1;
}

bool seekFile(int handle, long long offset, int* error) {
  if (_lseeki64(handle, offset, SEEK_SET) >= 0) return true;
  *error = errno;
  return false;
}

bool isPlainFile(int handle, FileId* id) {
  HANDLE file = osHandle(handle);
  BY_HANDLE_FILE_INFORMATION info;
  if (id != nullptr && GetFileInformationByHandle(file, &info)) {
    *id = {info.dwVolumeSerialNumber,
           (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, 0, true};
  }
  return GetFileType(file) == FILE_TYPE_DISK;
}

// What Windows says of a file that another open holds.
int inUseError() { return EACCES; }

long long fileSize(int handle) {
  LARGE_INTEGER size;
  return GetFileSizeEx(osHandle(handle), &size) ? size.QuadPart : -1;
}

// Sets the end of the file without the position (SetEndOfFile and _chsize_s
// use or move it), so that a handler on another thread can cut the report.
bool cutFile(int handle, long long length, int* error) {
  FILE_END_OF_FILE_INFO end;
  end.EndOfFile.QuadPart = length;
  if (SetFileInformationByHandle(osHandle(handle), FileEndOfFileInfo, &end, sizeof end)) return true;
  *error = errnoFor(GetLastError());
  return false;
}

bool closeFile(int handle, int* error) {
  if (ending.load()) return true;  // the end of the process closes it
  if (_close(handle) == 0) return true;
  *error = errno;
  return false;
}

// Standard error in the runtime's text mode: every LF goes out as CR LF.
void writeError(const char* text, std::size_t size) {
  HANDLE err = osHandle(2);
  if (err == INVALID_HANDLE_VALUE || err == nullptr) return;
  char line[512];
  std::size_t used = 0;
  auto put = [&] {
    const char* at = line;
    DWORD n = 0;
    while (used > 0 && WriteFile(err, at, static_cast<DWORD>(used), &n, nullptr) && n > 0) {
      at += n;
      used -= n;
    }
    used = 0;
  };
  for (std::size_t i = 0; i < size; ++i) {
    if (used + 2 > sizeof line) put();
    if (text[i] == '\n') line[used++] = '\r';
    line[used++] = text[i];
  }
  put();
}

void writeError(const char* text) { writeError(text, std::strlen(text)); }

const char* errorText(int error) { return std::strerror(error); }

// The runtime's signal table: SIGINT comes from the console's Ctrl-C on a
// thread of its own, SIGFPE from the exception filter above, SIGABRT and
// SIGTERM from raise. A console that has Ctrl-C switched off (the Windows
// form of an interrupt ignored at start) never calls the SIGINT handler.
void installSignalHandlers(SignalHandler handler) {
  installedHandler = handler;
  ::signal(SIGFPE, onSignal);
  ::signal(SIGABRT, onSignal);
  if (::signal(SIGINT, onSignal) == SIG_IGN) ::signal(SIGINT, SIG_IGN);
  ::signal(SIGTERM, onSignal);
}

void restoreDefaultAbort() { ::signal(SIGABRT, SIG_DFL); }

// abort() would print the runtime's own message (or fast-fail with another
// status): run the abort handler as abort does, then end as it ends, with 3.
void abortProcess() {
  auto handler = ::signal(SIGABRT, SIG_DFL);
  if (handler != SIG_DFL && handler != SIG_IGN && handler != SIG_ERR) handler(SIGABRT);
  terminateWith(3);
}

void exitNow(int status) { terminateWith(status); }

void blockSignals() {
  EnterCriticalSection(&unitLock.section);
  ++unitLock.depth;
}

void unblockSignals() {
  if (!TryEnterCriticalSection(&unitLock.section)) return;  // a handler holds it
  if (unitLock.depth > 0) {
    --unitLock.depth;
    LeaveCriticalSection(&unitLock.section);  // the matching blockSignals
  }
  LeaveCriticalSection(&unitLock.section);  // the TryEnter above
}

bool standardErrorIsTerminal() { return _isatty(2) != 0; }

}  // namespace slip::platform
