// The file seam with POSIX calls. Error numbers are converted to the Windows codes whose texts
// the portable message table knows, so messages read alike on both sides.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <optional>
#include <string>

#include "foundation/text.h"
#include "platform/file.h"
#include "platform/file_temp_name.h"

namespace brv::platform {

namespace {

TbrvWriteFaultHook& FaultHook() {
  static TbrvWriteFaultHook hook;
  return hook;
}

constexpr int kNotSupported = -1;  // not an errno: a file of a kind that is not read or replaced
constexpr int kInvalidName = -2;   // not an errno: a name that no file can have

TbrvResult ResultFromErrno(int Error) {
  switch (Error) {
    case 0:
      return 0;
    case kNotSupported:
      return ResultFromOsError(50);  // ERROR_NOT_SUPPORTED
    case kInvalidName:
      return ResultFromOsError(123);  // ERROR_INVALID_NAME
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
    case EFBIG:
      return ResultFromOsError(223);  // ERROR_FILE_TOO_LARGE
    case ENAMETOOLONG:
      return ResultFromOsError(206);  // ERROR_FILENAME_EXCED_RANGE
    case ELOOP:
      return ResultFromOsError(1921);  // ERROR_CANT_RESOLVE_FILENAME
    default:
      return kE_FAIL;
  }
}

// The bytes of the file name: the reverse of FileNameFromNative; nothing for a name with U+0000
// or with a lone surrogate that FileNameFromNative does not make.
std::optional<std::string> NativePath(std::u16string_view Filename) {
  std::string path;
  path.reserve(Filename.size());
  for (size_t i = 0; i < Filename.size(); ++i) {
    const char16_t c = Filename[i];
    if (c == 0) return std::nullopt;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < Filename.size() && Filename[i + 1] >= 0xDC00 &&
        Filename[i + 1] <= 0xDFFF) {
      AppendUtf8(path, 0x10000 + ((char32_t{c} - 0xD800) << 10) + (Filename[++i] - 0xDC00));
    } else if (c >= 0xDC80 && c <= 0xDCFF) {
      path += static_cast<char>(c - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      return std::nullopt;
    } else {
      AppendUtf8(path, c);
    }
  }
  return path;
}

// ENOENT names two Windows errors: the file is missing (2) or a folder on its path is (3).
TbrvResult ResultFromErrno(int Error, const std::string& Path) {
  if (Error != ENOENT) return ResultFromErrno(Error);
  const size_t slash = Path.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return ResultFromOsError(2);
  struct stat st {};
  const bool folderThere = ::stat(Path.substr(0, slash).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  return ResultFromOsError(folderThere ? 2 : 3);
}

// The file a save of Path replaces: Path, or the file its symbolic link points to (through any
// links on the way), so that the link stays what it is, as editors keep it. A link to nothing
// names the file the save creates. Returns 0 or an errno (ELOOP for a loop of links).
int FollowLinks(std::string& Path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(Path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return 0;
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(Path.c_str(), link.data(), link.size());
    if (n < 0) return errno;
    if (static_cast<size_t>(n) == link.size()) return ENAMETOOLONG;
    link.resize(static_cast<size_t>(n));
    // A relative link counts from the folder of the link.
    const size_t slash = Path.find_last_of('/');
    if (link.front() != '/' && slash != std::string::npos) link.insert(0, Path, 0, slash + 1);
    Path = std::move(link);
  }
  return ELOOP;
}

// A name beside Filename that no other writer of this process or another one uses.
std::string TempNameBeside(const std::string& Target) {
  static std::atomic<uint64_t> counter{0};
  return file_detail::TempFileName<char>(Target, static_cast<uint64_t>(getpid()), ++counter);
}

// False only when no process Pid exists; a process of another user counts as running.
bool ProcessRunning(uint64_t Pid) {
  if (Pid == 0 || Pid > static_cast<uint64_t>(INT_MAX)) return false;
  return ::kill(static_cast<pid_t>(Pid), 0) == 0 || errno != ESRCH;
}

// Removes the temporary files of Target whose writers are gone. A process id used again by a
// new process keeps its file until a later save: a file still being written is never removed.
void RemoveStaleTempFiles(const std::string& Target) {
  const size_t slash = Target.find_last_of('/');
  const std::string prefix = slash == std::string::npos ? std::string() : Target.substr(0, slash + 1);
  const std::string targetName = Target.substr(prefix.size());
  DIR* dir = ::opendir(prefix.empty() ? "." : prefix.c_str());
  if (dir == nullptr) return;
  const auto same = [](std::string_view A, std::string_view B) { return A == B; };
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name = entry->d_name;
    const auto owner = file_detail::TempFileOwner<char>(name, targetName, same);
    if (owner && !ProcessRunning(*owner)) ::unlink((prefix + std::string(name)).c_str());
  }
  ::closedir(dir);
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

std::u16string FileNameFromNative(std::string_view Bytes) {
  static constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  std::u16string name;
  name.reserve(Bytes.size());
  while (!Bytes.empty()) {
    const auto lead = static_cast<unsigned char>(Bytes.front());
    const size_t length = lead < 0x80             ? 1
                          : (lead & 0xE0) == 0xC0 ? 2
                          : (lead & 0xF0) == 0xE0 ? 3
                          : (lead & 0xF8) == 0xF0 ? 4
                                                  : 0;
    bool valid = length != 0 && length <= Bytes.size();
    char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    for (size_t k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(Bytes[k]);
      valid = (next & 0xC0) == 0x80;
      c = (c << 6) | (next & 0x3F);
    }
    valid = valid && c >= kShortest[length] && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
    if (!valid) {
      name += static_cast<char16_t>(0xDC00 + lead);
      Bytes.remove_prefix(1);
    } else if (c < 0x10000) {
      name += static_cast<char16_t>(c);
      Bytes.remove_prefix(length);
    } else {
      name += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      name += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      Bytes.remove_prefix(length);
    }
  }
  return name;
}

TbrvFileResult ReadFileBytes(const std::u16string& Filename, std::string& Bytes) {
  Bytes.clear();
  const std::optional<std::string> native = NativePath(Filename);
  if (!native) return {ResultFromErrno(kInvalidName)};
  const std::string& path = *native;
  // Without O_NONBLOCK, opening a FIFO waits for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return {ResultFromErrno(errno, path)};
  // (A regular file reads the same with O_NONBLOCK: it only matters for the kinds refused here.)
  struct stat st {};
  const int kind = ::fstat(fd, &st) != 0 ? errno
                   : S_ISREG(st.st_mode) ? 0
                   : S_ISDIR(st.st_mode) ? EISDIR
                                         : kNotSupported;
  if (kind != 0) {
    ::close(fd);
    return {ResultFromErrno(kind)};
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
  const std::optional<std::string> native = NativePath(Filename);
  if (!native) return {ResultFromErrno(kInvalidName)};
  std::string target = *native;
  if (const int error = FollowLinks(target); error != 0) return {ResultFromErrno(error, target)};
  // Renaming over a pipe or a device would put a file in its place.
  struct stat previous {};
  const bool exists = ::stat(target.c_str(), &previous) == 0;
  if (exists && !S_ISREG(previous.st_mode) && !S_ISDIR(previous.st_mode))
    return {ResultFromErrno(kNotSupported)};
  const std::string temp = TempNameBeside(target);
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return {ResultFromErrno(errno, temp)};
  // The new file keeps the permissions of the one it replaces.
  if (exists && S_ISREG(previous.st_mode)) ::fchmod(fd, previous.st_mode & 07777);
  TbrvResult status = WriteAll(fd, Bytes);
  if (::close(fd) != 0 && status == 0) status = ResultFromErrno(errno);
  if (status == 0 && FaultHook()) status = FaultHook()(FileNameFromNative(temp));
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
  RemoveStaleTempFiles(target);
  return {};
}

bool RemoveFile(const std::u16string& Filename) {
  const std::optional<std::string> path = NativePath(Filename);
  return path && ::unlink(path->c_str()) == 0;
}

bool FileExists(const std::u16string& Filename) {
  const std::optional<std::string> path = NativePath(Filename);
  struct stat st {};
  return path && ::stat(path->c_str(), &st) == 0;
}

TbrvFileResult CreateFolders(const std::u16string& Folder) {
  const std::optional<std::string> native = NativePath(Folder);
  if (!native) return {ResultFromErrno(kInvalidName)};
  std::string path = *native;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  // The folders above, from the top; their failures do not count, as one may be there already
  // or out of reach while the rest can still be made.
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0777);
  if (::mkdir(path.c_str(), 0777) == 0) return {};
  const int error = errno;
  struct stat st {};
  if (error == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return {};
  return {error == EEXIST ? ResultFromOsError(183) : ResultFromErrno(error, path)};  // ERROR_ALREADY_EXISTS
}

void SetWriteFaultHook(TbrvWriteFaultHook Hook) { FaultHook() = std::move(Hook); }

TbrvFileResult TbrvAppendFile::Open(const std::u16string& Filename) {
  Close();
  const std::optional<std::string> native = NativePath(Filename);
  if (!native) return {ResultFromErrno(kInvalidName)};
  // O_NONBLOCK: a FIFO is refused below instead of waited on.
  const int fd = ::open(native->c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666);
  // ENXIO: a FIFO that nobody reads.
  if (fd < 0) return {ResultFromErrno(errno == ENXIO ? kNotSupported : errno, *native)};
  struct stat st {};
  const int kind = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : kNotSupported;
  if (kind != 0) {
    ::close(fd);
    return {ResultFromErrno(kind)};
  }
  FHandle = fd;
  return {};
}

TbrvFileResult TbrvAppendFile::Append(std::string_view Bytes) {
  if (!IsOpen()) return {ResultFromErrno(EBADF)};
  while (!Bytes.empty()) {
    const ssize_t n = ::write(static_cast<int>(FHandle), Bytes.data(), Bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return {ResultFromErrno(errno)};
    if (n == 0) return {ResultFromErrno(ENOSPC)};
    Bytes.remove_prefix(static_cast<size_t>(n));
  }
  return {};
}

void TbrvAppendFile::Close() {
  if (!IsOpen()) return;
  ::close(static_cast<int>(FHandle));
  FHandle = kClosed;
}

}  // namespace brv::platform
