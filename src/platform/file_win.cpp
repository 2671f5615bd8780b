// The file seam with the Win32 file API.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <utility>

#include "platform/file.h"
#include "platform/file_temp_name.h"
#include "platform/wide_win.h"

namespace brv::platform {

namespace {

TbrvWriteFaultHook& FaultHook() {
  static TbrvWriteFaultHook hook;
  return hook;
}

TbrvResult LastError() {
  const DWORD code = GetLastError();
  return code == 0 ? kE_FAIL : ResultFromOsError(code);
}

// An embedded NUL would end the name early: the file of another name would be used.
bool ValidName(const std::u16string& Filename) { return Filename.find(u'\0') == std::u16string::npos; }

TbrvResult InvalidName() { return ResultFromOsError(ERROR_INVALID_NAME); }

// A name beside Filename that no other writer of this process or another one uses.
std::u16string TempNameBeside(const std::u16string& Target) {
  static std::atomic<uint64_t> counter{0};
  return file_detail::TempFileName<char16_t>(Target, GetCurrentProcessId(), ++counter);
}

// False only when no process Pid exists or it has ended.
bool ProcessRunning(uint64_t Pid) {
  if (Pid > MAXDWORD) return false;
  const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(Pid));
  if (process == nullptr) return GetLastError() != ERROR_INVALID_PARAMETER;
  DWORD code = 0;
  const bool running = !GetExitCodeProcess(process, &code) || code == STILL_ACTIVE;
  CloseHandle(process);
  return running;
}

// Removes the temporary files of Target whose writers are gone. A file still being written is
// open without sharing, so it could not be deleted even if its process id were used again.
void RemoveStaleTempFiles(const std::u16string& Target) {
  const size_t separator = Target.find_last_of(u"\\/:");
  const std::u16string prefix =
      separator == std::u16string::npos ? std::u16string() : Target.substr(0, separator + 1);
  const std::u16string targetName = Target.substr(prefix.size());
  // Not Target + "*": the temporary file of a long name holds only the name's start.
  const std::u16string pattern = prefix + u"*.sortwise-tmp";
  WIN32_FIND_DATAW found;
  const HANDLE search =
      FindFirstFileExW(WideCStr(pattern), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) return;
  // File names compare ignoring case, as the file system does.
  const auto same = [](std::u16string_view A, std::u16string_view B) {
    return CompareStringOrdinal(reinterpret_cast<const wchar_t*>(A.data()), static_cast<int>(A.size()),
                                reinterpret_cast<const wchar_t*>(B.data()), static_cast<int>(B.size()),
                                TRUE) == CSTR_EQUAL;
  };
  do {
    const std::u16string name = FromWide(found.cFileName);
    const auto owner = file_detail::TempFileOwner<char16_t>(name, targetName, same);
    if (owner && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !ProcessRunning(*owner))
      DeleteFileW(WideCStr(prefix + name));
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

class THandle {
 public:
  explicit THandle(HANDLE Handle) : FHandle(Handle) {}
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  ~THandle() { Close(); }
  HANDLE Get() const { return FHandle; }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  // Gives the handle up to the caller, who closes it.
  HANDLE Release() { return std::exchange(FHandle, INVALID_HANDLE_VALUE); }
  bool Close() {
    if (!Valid()) return true;
    const bool ok = CloseHandle(FHandle) != FALSE;
    FHandle = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE FHandle;
};

// True when Filename names something that is there but is no file on a disk (a pipe, a device):
// reading it may never end, and a file must not take its place.
bool IsDevice(const std::u16string& Filename) {
  THandle handle(CreateFileW(WideCStr(Filename), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return handle.Valid() && GetFileType(handle.Get()) != FILE_TYPE_DISK;
}

}  // namespace

TbrvFileResult ReadFileBytes(const std::u16string& Filename, std::string& Bytes) {
  Bytes.clear();
  if (!ValidName(Filename)) return {InvalidName()};
  THandle file(CreateFileW(WideCStr(Filename), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return {LastError()};
  // A pipe or a device (CON, a named pipe) may never end.
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) return {ResultFromOsError(ERROR_NOT_SUPPORTED)};
  char buffer[65536];
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &read, nullptr)) {
      const TbrvResult status = LastError();
      Bytes.clear();
      return {status};
    }
    if (read == 0) break;
    Bytes.append(buffer, read);
  }
  return {};
}

TbrvFileResult WriteFileReplacing(const std::u16string& Filename, std::string_view Bytes) {
  if (!ValidName(Filename)) return {InvalidName()};
  if (IsDevice(Filename)) return {ResultFromOsError(ERROR_NOT_SUPPORTED)};
  const std::u16string temp = TempNameBeside(Filename);
  TbrvResult status = 0;
  {
    THandle file(
        CreateFileW(WideCStr(temp), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return {LastError()};
    while (status == 0 && !Bytes.empty()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(Bytes.size(), 1u << 20));
      DWORD written = 0;
      if (!WriteFile(file.Get(), Bytes.data(), chunk, &written, nullptr)) {
        status = LastError();
      } else if (written == 0) {
        status = ResultFromOsError(ERROR_DISK_FULL);
      } else {
        Bytes.remove_prefix(written);
      }
    }
    if (status == 0 && !FlushFileBuffers(file.Get())) status = LastError();
    if (!file.Close() && status == 0) status = LastError();
  }
  if (status == 0 && FaultHook()) status = FaultHook()(temp);
  if (status == 0 &&
      !MoveFileExW(WideCStr(temp), WideCStr(Filename), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    status = LastError();
  }
  if (status < 0) {
    DeleteFileW(WideCStr(temp));
    return {status};
  }
  RemoveStaleTempFiles(Filename);
  return {};
}

bool RemoveFile(const std::u16string& Filename) {
  return ValidName(Filename) && DeleteFileW(WideCStr(Filename)) != FALSE;
}

bool FileExists(const std::u16string& Filename) {
  return ValidName(Filename) && GetFileAttributesW(WideCStr(Filename)) != INVALID_FILE_ATTRIBUTES;
}

TbrvFileResult CreateFolders(const std::u16string& Folder) {
  if (!ValidName(Folder)) return {InvalidName()};
  std::u16string path = Folder;
  while (path.size() > 1 && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
  // The folders above, from the top; their failures do not count, as one may be there already
  // (a drive, a share) or out of reach while the rest can still be made.
  for (size_t at = path.find_first_of(u"\\/", 1); at != std::u16string::npos; at = path.find_first_of(u"\\/", at + 1))
    CreateDirectoryW(WideCStr(path.substr(0, at)), nullptr);
  if (CreateDirectoryW(WideCStr(path), nullptr)) return {};
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(WideCStr(path));
  if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    return {};
  return {ResultFromOsError(error)};
}

void SetWriteFaultHook(TbrvWriteFaultHook Hook) { FaultHook() = std::move(Hook); }

TbrvFileResult TbrvAppendFile::Open(const std::u16string& Filename) {
  Close();
  if (!ValidName(Filename)) return {InvalidName()};
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end, whoever else writes.
  THandle file(CreateFileW(WideCStr(Filename), FILE_APPEND_DATA | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return {LastError()};
  if (GetFileType(file.Get()) != FILE_TYPE_DISK) return {ResultFromOsError(ERROR_NOT_SUPPORTED)};
  FHandle = reinterpret_cast<intptr_t>(file.Release());
  return {};
}

TbrvFileResult TbrvAppendFile::Append(std::string_view Bytes) {
  if (!IsOpen()) return {ResultFromOsError(ERROR_INVALID_HANDLE)};
  const HANDLE file = reinterpret_cast<HANDLE>(FHandle);
  while (!Bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(Bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, Bytes.data(), chunk, &written, nullptr)) return {LastError()};
    if (written == 0) return {ResultFromOsError(ERROR_DISK_FULL)};
    Bytes.remove_prefix(written);
  }
  return {};
}

void TbrvAppendFile::Close() {
  if (!IsOpen()) return;
  CloseHandle(reinterpret_cast<HANDLE>(FHandle));
  FHandle = kClosed;
}

}  // namespace brv::platform
