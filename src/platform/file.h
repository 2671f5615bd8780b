// Whole-file reading and the safe replacement of a file: a new file is written beside the old one
// and then takes its place in one step, so a failed write never destroys the previous file.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "foundation/result.h"

namespace brv::platform {

// The outcome of a file operation: 0, or the converted operating-system error (0x8007xxxx).
struct TbrvFileResult {
  TbrvResult Status = 0;
  bool Failed() const { return Status < 0; }
};

// Reads the whole file into Bytes. Only a regular file is read: a folder fails with
// ERROR_ACCESS_DENIED, anything else (a pipe, a device) with ERROR_NOT_SUPPORTED, so that an
// endless input is never waited for. Fails with the system's code (file not found, access
// denied, ...); Bytes is then empty.
TbrvFileResult ReadFileBytes(const std::u16string& Filename, std::string& Bytes);

// Writes Bytes to a new file beside Filename, "<Filename>.<process id>-<n>.sortwise-tmp" (of a
// name too long for that, only its start), and then replaces Filename by it in one step
// (Windows: MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH; elsewhere rename
// after fsync). Natively, a symbolic link stays a link: the file it points to is replaced (a
// link to nothing creates that file; a loop of links fails with ERROR_CANT_RESOLVE_FILENAME).
// On failure the previous Filename is untouched, the temporary file is removed, and the code of
// the first failing step returns.
// After a successful write, the temporary files of Filename that processes no longer running
// left behind (killed during a save) are removed. A Filename that is there but is neither a
// file nor a folder (a pipe, a device) is not replaced: ERROR_NOT_SUPPORTED.
TbrvFileResult WriteFileReplacing(const std::u16string& Filename, std::string_view Bytes);

// File names that no file can have (an embedded U+0000; natively also a lone surrogate other
// than those FileNameFromNative makes) fail with ERROR_INVALID_NAME: a file is never read or
// written under another name than the one given.

#ifndef _WIN32
// POSIX file names are bytes in no particular encoding. A name that is UTF-8 becomes its text;
// every byte that is not part of valid UTF-8 becomes the lone surrogate U+DC00 + byte, which the
// functions here turn back into that byte. So any name given on the command line opens the
// file it names.
std::u16string FileNameFromNative(std::string_view Bytes);
#endif

// Removes a file; false when it could not be removed (also when it did not exist).
bool RemoveFile(const std::u16string& Filename);

// True when Filename names an existing file or folder.
bool FileExists(const std::u16string& Filename);

// Makes Folder with every missing folder above it. A folder that is there already succeeds;
// otherwise the code of the first folder that could not be made returns.
TbrvFileResult CreateFolders(const std::u16string& Folder);

// A file that grows at its end, for logs: each Append writes its bytes at the end in one
// system call, so that the lines of two processes appending at once never mix. One object per
// open file; it closes the file when it goes.
class TbrvAppendFile {
 public:
  TbrvAppendFile() = default;
  ~TbrvAppendFile() { Close(); }
  TbrvAppendFile(const TbrvAppendFile&) = delete;
  TbrvAppendFile& operator=(const TbrvAppendFile&) = delete;

  // Opens Filename for appending, creating it when it is not there. Only a regular file is
  // opened (a folder fails with ERROR_ACCESS_DENIED, a pipe or device with ERROR_NOT_SUPPORTED).
  TbrvFileResult Open(const std::u16string& Filename);
  // Writes Bytes at the end of the file; a failure (a full disk) leaves the file open.
  TbrvFileResult Append(std::string_view Bytes);
  bool IsOpen() const { return FHandle != kClosed; }
  void Close();

 private:
  static constexpr intptr_t kClosed = -1;
  // The file descriptor, or the HANDLE on Windows.
  intptr_t FHandle = kClosed;
};

// Test hook: called by WriteFileReplacing with the temporary file's name after the bytes were
// written and before the replacement; a hook that returns a failing code makes the write fail
// with it, as a full disk would. An empty hook (the default) does nothing. Not thread-safe: set
// it only in tests.
using TbrvWriteFaultHook = std::function<TbrvResult(const std::u16string& TempFilename)>;
void SetWriteFaultHook(TbrvWriteFaultHook Hook);

}  // namespace brv::platform
