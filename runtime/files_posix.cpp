#include "runtime/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

// File access through POSIX descriptors.

namespace velmora {

namespace {

int Descriptor(const TFileDescriptor& file) {
  return static_cast<int>(file.Get());
}

} // namespace

int TFileDescriptor::Close() noexcept {
  if (!IsOpen()) {
    return 0;
  }
  // The descriptor is gone after close even when it fails (also on EINTR, on Linux).
  const int result = ::close(static_cast<int>(Release()));
  return result == 0 ? 0 : errno;
}

int OpenFile(const NarrowString& fileName, TFileAccess access, TFileDescriptor& file) {
  int flags = O_CLOEXEC;
  switch (access) {
  case faRead:
    flags |= O_RDONLY;
    break;
  case faWrite:
    flags |= O_WRONLY;
    break;
  case faReadWrite:
    flags |= O_RDWR;
    break;
  case faCreate:
    flags |= O_RDWR | O_CREAT | O_TRUNC;
    break;
  }
  // A FIFO would block the open until another program opens its other end: it opens at
  // once, and a read without a writer finds the end at once. Reads and writes block as
  // usual afterwards.
  int fd;
  do {
    fd = ::open(fileName.c_str(), flags | O_NONBLOCK, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    return errno;
  }
  TFileDescriptor opened(fd);
  if (const int status = ::fcntl(fd, F_GETFL);
      status < 0 || ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    return errno;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0) {
    return errno;
  }
  if (S_ISDIR(info.st_mode)) {
    return EISDIR;
  }
  file = std::move(opened);
  return 0;
}

int ReadFromFile(const TFileDescriptor& file, void* buffer, size_t count, size_t& got) {
  ssize_t result;
  do {
    result = ::read(Descriptor(file), buffer, count);
  } while (result < 0 && errno == EINTR);
  if (result < 0) {
    got = 0;
    return errno;
  }
  got = static_cast<size_t>(result);
  return 0;
}

int WriteToFile(const TFileDescriptor& file, const void* buffer, size_t count) {
  const char* data = static_cast<const char*>(buffer);
  while (count > 0) {
    const ssize_t result = ::write(Descriptor(file), data, count);
    if (result < 0) {
      if (errno == EINTR) {
        continue;
      }
      return errno;
    }
    if (result == 0) {
      return EIO;
    }
    data += result;
    count -= static_cast<size_t>(result);
  }
  return 0;
}

int SeekFile(const TFileDescriptor& file, int64_t offset, TFileOrigin origin, int64_t& position) {
  const int whence = origin == foBeginning ? SEEK_SET : (origin == foCurrent ? SEEK_CUR : SEEK_END);
  const off_t result = ::lseek(Descriptor(file), static_cast<off_t>(offset), whence);
  if (result < 0) {
    return errno == EINVAL ? kErrorNegativeSeek : errno;
  }
  position = static_cast<int64_t>(result);
  return 0;
}

bool IsSeekableFile(const TFileDescriptor& file) {
  return ::lseek(Descriptor(file), 0, SEEK_CUR) >= 0 || errno != ESPIPE;
}

int FileSizeOf(const TFileDescriptor& file, int64_t& size) {
  struct stat info;
  if (::fstat(Descriptor(file), &info) != 0) {
    return errno;
  }
  size = static_cast<int64_t>(info.st_size);
  return 0;
}

int CheckFileStillLinked(const TFileDescriptor& file) {
  struct stat info;
  if (::fstat(Descriptor(file), &info) != 0) {
    return errno;
  }
  return info.st_nlink == 0 ? ENOENT : 0;
}

int SetFileSizeTo(const TFileDescriptor& file, int64_t size) {
  return ::ftruncate(Descriptor(file), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int ReadSymbolicLink(const NarrowString& path, NarrowString& target) {
  // Links in /proc report no size, so grow the buffer until the text fits.
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (length < 0) {
      return errno;
    }
    if (static_cast<size_t>(length) < buffer.size()) {
      target.assign(buffer.data(), static_cast<size_t>(length));
      return 0;
    }
    buffer.resize(buffer.size() * 2);
  }
}

int FileErrorCode(int error, const NarrowString& fileName) {
  switch (error) {
  case ENOENT: {
    const NarrowString folder = ExtractFileDir(ExpandFileName(fileName));
    return DirectoryExists(folder) ? kErrorFileNotFound : kErrorPathNotFound;
  }
  case ENOTDIR:
  case ENAMETOOLONG:
    return kErrorPathNotFound;
  case EMFILE:
  case ENFILE:
    return kErrorTooManyOpenFiles;
  case EACCES:
  case EPERM:
  case EROFS:
  case EISDIR:
    return kErrorAccessDenied;
  case ENOSPC:
  case EDQUOT:
    return kErrorDiskFull;
  case EIO:
    return kErrorDeviceIo;
  default:
    return error;
  }
}

NarrowString ExpandFileName(const NarrowString& fileName) {
  NarrowString path = fileName;
  if (path.empty() || path[0] != '/') {
    std::vector<char> buffer(4096);
    while (!::getcwd(buffer.data(), buffer.size())) {
      if (errno != ERANGE || buffer.size() > (1u << 20)) {
        return fileName;
      }
      buffer.resize(buffer.size() * 2);
    }
    path = NarrowString(buffer.data()) + "/" + path;
  }
  std::vector<std::string_view> segments;
  std::string_view rest(path);
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view segment = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (segment.empty() || segment == ".") {
      continue;
    }
    if (segment == "..") {
      if (!segments.empty()) {
        segments.pop_back();
      }
      continue;
    }
    segments.push_back(segment);
  }
  NarrowString result;
  for (std::string_view segment : segments) {
    result += '/';
    result += segment;
  }
  if (result.empty() || (fileName.size() > 1 && fileName.back() == '/')) {
    result += '/';
  }
  return result;
}

bool FileExists(const NarrowString& fileName) {
  struct stat info;
  return ::stat(fileName.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool ForceDirectories(const NarrowString& folder) {
  if (folder.empty() || DirectoryExists(folder)) {
    return !folder.empty();
  }
  for (size_t slash = folder.find('/', 1); slash != NarrowString::npos;
       slash = folder.find('/', slash + 1)) {
    ::mkdir(folder.substr(0, slash).c_str(), 0777);
  }
  ::mkdir(folder.c_str(), 0777);
  return DirectoryExists(folder);
}

bool DirectoryExists(const NarrowString& fileName) {
  struct stat info;
  return ::stat(fileName.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace velmora
