// Windows side of the companions' file layer.
//
// Paths are the runtime's narrow (ANSI code page) names, as the core's
// platform layer opens them. A temporary file is created with CREATE_NEW and
// shared for deletion, so that the console-break handler, which runs on a
// thread of its own, can delete it while the main thread still holds it.
#define _CRT_RAND_S
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "cli/exit_status.h"
#include "cli/file_system.h"

namespace slip::cli::fs {
namespace {

constexpr int kSlots = 16;
char armedPaths[kSlots][MAX_PATH * 4];
std::atomic<bool> armed[kSlots];
CRITICAL_SECTION armLock;
bool lockReady = false;

int errnoFor(DWORD code) {
  switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return ENOENT;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return EEXIST;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT: return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_INVALID_NAME:
    case ERROR_INVALID_PARAMETER: return EINVAL;
    case ERROR_NOT_SAME_DEVICE: return EXDEV;
    default: return EIO;
  }
}

HANDLE openForInfo(const std::string& path) {
  return CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

BOOL WINAPI onBreak(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) return FALSE;
  if (lockReady) EnterCriticalSection(&armLock);  // never left: the process ends here
  for (int slot = 0; slot < kSlots; ++slot)
    if (armed[slot].load()) DeleteFileA(armedPaths[slot]);
  ExitProcess(type == CTRL_C_EVENT ? kExitInterrupted : kExitTerminated);
}

}  // namespace

int inspect(const std::string& path, PathInfo& info) {
  info = PathInfo{};
  info.resolved = path;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  HANDLE handle = openForInfo(path);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        info.link = true;
        info.kind = Kind::DanglingLink;
      }
      return 0;
    }
    return errnoFor(code);
  }
  const DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK) {
    CloseHandle(handle);
    info.kind = Kind::Device;  // NUL, CON, a pipe
    return 0;
  }
  BY_HANDLE_FILE_INFORMATION data{};
  if (!GetFileInformationByHandle(handle, &data)) {
    const DWORD code = GetLastError();
    CloseHandle(handle);
    return errnoFor(code);
  }
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    info.link = true;
    char final[MAX_PATH * 4];
    const DWORD n = GetFinalPathNameByHandleA(handle, final, sizeof final, FILE_NAME_NORMALIZED);
    if (n > 0 && n < sizeof final) info.resolved = final;
  }
  CloseHandle(handle);
  if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    info.kind = Kind::Folder;
  } else {
    info.kind = Kind::Regular;
    info.readOnly = (data.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    info.mayWrite = !info.readOnly;
    info.mode = info.readOnly ? 0444u : 0666u;
  }
  return 0;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::size_t nameLimit(const std::string&) { return 255; }

int openDescriptor(const std::string&) { return -1; }  // CON and CONOUT$ are devices, written in place

bool identify(const std::string& path, Identity& identity) {
  HANDLE handle = openForInfo(path);
  if (handle == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION data{};
  const bool known = GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &data);
  CloseHandle(handle);
  if (!known) return false;
  identity.device = data.dwVolumeSerialNumber;
  identity.file = (static_cast<unsigned long long>(data.nFileIndexHigh) << 32) | data.nFileIndexLow;
  return true;
}

int createExclusive(const std::string& path, unsigned, int* error) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *error = errnoFor(GetLastError());
    return -1;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
  if (descriptor < 0) {
    *error = EMFILE;
    CloseHandle(handle);
    DeleteFileA(path.c_str());
  }
  return descriptor;
}

int openExisting(const std::string& path, int* error) {
  HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    *error = errnoFor(GetLastError());
    return -1;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
  if (descriptor < 0) {
    *error = EMFILE;
    CloseHandle(handle);
  }
  return descriptor;
}

bool syncFile(int handle, int* error) {
  if (FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(handle)))) return true;
  *error = errnoFor(GetLastError());
  return false;
}

bool takeOwnerAndMode(int, const PathInfo&, int*) { return true; }  // a new file is writable; read-only targets are refused

bool replace(const std::string& from, const std::string& to, int* error) {
  if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  *error = errnoFor(GetLastError());
  return false;
}

void remove(const std::string& path) { DeleteFileA(path.c_str()); }

void pause() { Sleep(20); }

unsigned long long randomBits() {
  unsigned int high = 0;
  unsigned int low = 0;
  if (rand_s(&high) != 0 || rand_s(&low) != 0) {
    high = GetCurrentProcessId();
    low = GetTickCount();
  }
  return (static_cast<unsigned long long>(high) << 32) | low;
}

void installCleanup() {
  InitializeCriticalSection(&armLock);
  lockReady = true;
  SetConsoleCtrlHandler(onBreak, TRUE);
}

int arm(const std::string& temporary) {
  if (temporary.size() >= sizeof armedPaths[0]) return -1;
  for (int slot = 0; slot < kSlots; ++slot) {
    if (armed[slot].load()) continue;
    std::memcpy(armedPaths[slot], temporary.c_str(), temporary.size() + 1);
    armed[slot].store(true);
    return slot;
  }
  return -1;
}

void disarm(int slot) {
  if (slot >= 0) armed[slot].store(false);
}

void holdSignals() {
  if (lockReady) EnterCriticalSection(&armLock);
}

void releaseSignals() {
  if (lockReady) LeaveCriticalSection(&armLock);
}

}  // namespace slip::cli::fs
