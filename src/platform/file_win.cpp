// The file seam with the Win32 file API.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/file.h"
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

// A name beside Filename that no other writer of this process or another one uses.
std::u16string TempNameBeside(const std::u16string& Target) {
  static std::atomic<unsigned> counter{0};
  const std::string suffix =
      ".~" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + ".tmp";
  return Target + std::u16string(suffix.begin(), suffix.end());
}

class THandle {
 public:
  explicit THandle(HANDLE Handle) : FHandle(Handle) {}
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  ~THandle() { Close(); }
  HANDLE Get() const { return FHandle; }
  bool Valid() const { return FHandle != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!Valid()) return true;
    const bool ok = CloseHandle(FHandle) != FALSE;
    FHandle = INVALID_HANDLE_VALUE;
    return ok;
  }

 private:
  HANDLE FHandle;
};

}  // namespace

TbrvFileResult ReadFileBytes(const std::u16string& Filename, std::string& Bytes) {
  Bytes.clear();
  THandle file(CreateFileW(WideCStr(Filename), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) return {LastError()};
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
  return {};
}

bool RemoveFile(const std::u16string& Filename) { return DeleteFileW(WideCStr(Filename)) != FALSE; }

bool FileExists(const std::u16string& Filename) {
  return GetFileAttributesW(WideCStr(Filename)) != INVALID_FILE_ATTRIBUTES;
}

void SetWriteFaultHook(TbrvWriteFaultHook Hook) { FaultHook() = std::move(Hook); }

}  // namespace brv::platform
