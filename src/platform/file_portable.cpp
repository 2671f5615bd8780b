// The file seam with POSIX calls. Error numbers are converted to the Windows codes whose texts
// the portable message table knows, so messages read alike on both sides.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "foundation/text.h"
#include "platform/file.h"

namespace brv::platform {

namespace {

TbrvWriteFaultHook& FaultHook() {
  static TbrvWriteFaultHook hook;
  return hook;
}

TbrvResult ResultFromErrno(int Error) {
  switch (Error) {
    case 0:
      return 0;
    case ENOENT:
      return ResultFromOsError(2);  // ERROR_FILE_NOT_FOUND
    case ENOTDIR:
      return ResultFromOsError(3);  // ERROR_PATH_NOT_FOUND
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return ResultFromOsError(5);  // ERROR_ACCESS_DENIED
    case ENOMEM:
      return ResultFromOsError(14);  // ERROR_OUTOFMEMORY
    case EBUSY:
    case ETXTBSY:
      return ResultFromOsError(32);  // ERROR_SHARING_VIOLATION
    case EEXIST:
      return ResultFromOsError(80);  // ERROR_FILE_EXISTS
    case ENOSPC:
    case EDQUOT:
      return ResultFromOsError(112);  // ERROR_DISK_FULL
    case ENAMETOOLONG:
      return ResultFromOsError(206);  // ERROR_FILENAME_EXCED_RANGE
    default:
      return kE_FAIL;
  }
}

std::string NativePath(const std::u16string& Filename) { return Utf16ToUtf8(Filename); }

// ENOENT names two Windows errors: the file is missing (2) or a folder on its path is (3).
TbrvResult ResultFromErrno(int Error, const std::string& Path) {
  if (Error != ENOENT) return ResultFromErrno(Error);
  const size_t slash = Path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return ResultFromOsError(2);
  struct stat st {};
  const bool folderThere = ::stat(Path.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return ResultFromOsError(folderThere ? 2 : 3);
}

// A name beside Filename that no other writer of this process or another one uses.
std::string TempNameBeside(const std::string& Target) {
  static std::atomic<unsigned> counter{0};
  return Target + ".~" + std::to_string(getpid()) + "-" + std::to_string(++counter) + ".tmp";
}

TbrvResult WriteAll(int Fd, std::string_view Bytes) {
  while (!Bytes.empty()) {
    const ssize_t n = ::write(Fd, Bytes.data(), Bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return ResultFromErrno(errno);
    }
    Bytes.remove_prefix(static_cast<size_t>(n));
  }
  return ::fsync(Fd) == 0 ? 0 : ResultFromErrno(errno);
}

}  // namespace

TbrvFileResult ReadFileBytes(const std::u16string& Filename, std::string& Bytes) {
  Bytes.clear();
  const std::string path = NativePath(Filename);
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {ResultFromErrno(errno, path)};
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return {ResultFromErrno(EISDIR)};
  }
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      ::close(fd);
      Bytes.clear();
      return {ResultFromErrno(error)};
    }
    Bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return {};
}

TbrvFileResult WriteFileReplacing(const std::u16string& Filename, std::string_view Bytes) {
  const std::string target = NativePath(Filename);
  const std::string temp = TempNameBeside(target);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return {ResultFromErrno(errno, temp)};
  // The new file keeps the permissions of the one it replaces.
  struct stat previous {};
  if (::stat(target.c_str(), &previous) == 0 && S_ISREG(previous.st_mode))
    ::fchmod(fd, previous.st_mode & 07777);
  TbrvResult status = WriteAll(fd, Bytes);
  if (::close(fd) != 0 && status == 0) status = ResultFromErrno(errno);
  if (status == 0 && FaultHook()) status = FaultHook()(Utf8ToUtf16(temp));
  if (status == 0 && ::rename(temp.c_str(), target.c_str()) != 0) status = ResultFromErrno(errno);
  if (status < 0) {
    ::unlink(temp.c_str());
    return {status};
  }
  // Make the rename itself durable; a failure here loses nothing that was there before.
  const size_t slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return {};
}

bool RemoveFile(const std::u16string& Filename) { return ::unlink(NativePath(Filename).c_str()) == 0; }

bool FileExists(const std::u16string& Filename) {
  struct stat st {};
  return ::stat(NativePath(Filename).c_str(), &st) == 0;
}

void SetWriteFaultHook(TbrvWriteFaultHook Hook) { FaultHook() = std::move(Hook); }

}  // namespace brv::platform
