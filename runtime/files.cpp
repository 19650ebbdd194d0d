#include "runtime/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "runtime/format.h"

namespace velmora {

TFileDescriptor& TFileDescriptor::operator=(TFileDescriptor&& other) noexcept {
  if (this != &other) {
    Close();
    FFd = other.Release();
  }
  return *this;
}

TFileDescriptor::~TFileDescriptor() {
  Close();
}

int TFileDescriptor::Release() noexcept {
  const int fd = FFd;
  FFd = -1;
  return fd;
}

int TFileDescriptor::Close() noexcept {
  if (FFd < 0) {
    return 0;
  }
  // The descriptor is gone after close even when it fails (also on EINTR, on Linux).
  const int result = ::close(Release());
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
  int fd;
  do {
    fd = ::open(fileName.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    return errno;
  }
  TFileDescriptor opened(fd);
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
    result = ::read(file.Get(), buffer, count);
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
    const ssize_t result = ::write(file.Get(), data, count);
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

int ReadFileContent(const NarrowString& fileName, NarrowString& content) {
  content.clear();
  TFileDescriptor file;
  if (const int error = OpenFile(fileName, faRead, file)) {
    return error;
  }
  char buffer[65536];
  for (;;) {
    size_t got = 0;
    if (const int error = ReadFromFile(file, buffer, sizeof buffer, got)) {
      content.clear();
      return error;
    }
    if (got == 0) {
      return 0;
    }
    content.append(buffer, got);
  }
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

int FileErrorCode(int errnoValue, const NarrowString& fileName) {
  switch (errnoValue) {
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
    return errnoValue;
  }
}

NarrowString SysErrorMessage(int errorCode) {
  switch (errorCode) {
  case kErrorFileNotFound:
    return "Das System kann die angegebene Datei nicht finden";
  case kErrorPathNotFound:
    return "Das System kann den angegebenen Pfad nicht finden";
  case kErrorTooManyOpenFiles:
    return "Das System kann die Datei nicht öffnen";
  case kErrorAccessDenied:
    return "Zugriff verweigert";
  case kErrorDiskFull:
    return "Auf dem Datenträger ist nicht genügend Speicherplatz vorhanden";
  case kErrorDeviceIo:
    return "Die Anforderung konnte wegen eines E/A-Gerätefehlers nicht ausgeführt werden";
  default:
    return Format("Systemfehler. Code: %d", {errorCode});
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

NarrowString ExtractFileDir(const NarrowString& fileName) {
  const size_t slash = fileName.rfind('/');
  if (slash == NarrowString::npos) {
    return NarrowString();
  }
  return slash == 0 ? NarrowString("/") : fileName.substr(0, slash);
}

} // namespace velmora
