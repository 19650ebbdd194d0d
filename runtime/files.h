#pragma once
// File access below the streams: opening, reading, writing and closing by descriptor, with
// failures reported as errno values, and the mapping of those onto the platform's error
// codes and messages.

#include <cstddef>
#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

// Platform error codes of failed file operations.
constexpr int kErrorFileNotFound = 2;
constexpr int kErrorPathNotFound = 3;
constexpr int kErrorTooManyOpenFiles = 4;
constexpr int kErrorAccessDenied = 5;
constexpr int kErrorDiskFull = 101;
constexpr int kErrorDeviceIo = 1117;

enum TFileAccess : uint8_t {
  faRead,      // read-only; others may go on reading and writing
  faWrite,     // an existing file, write-only
  faReadWrite, // an existing file, read and write
  faCreate,    // create or truncate, read and write
};

// An open file descriptor, closed when the object goes.
class TFileDescriptor {
public:
  TFileDescriptor() = default;
  explicit TFileDescriptor(int fd) : FFd(fd) {}
  TFileDescriptor(TFileDescriptor&& other) noexcept : FFd(other.Release()) {}
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept;
  ~TFileDescriptor();

  int Get() const { return FFd; }
  bool IsOpen() const { return FFd >= 0; }
  int Release() noexcept;
  // Closes the descriptor; returns 0 or the errno of a failed close.
  int Close() noexcept;

private:
  int FFd = -1;
};

// Opens fileName; returns 0 or errno. A folder is refused with EISDIR.
int OpenFile(const NarrowString& fileName, TFileAccess access, TFileDescriptor& file);

// Reads up to count bytes; returns 0 or errno. got is 0 at the end of the file.
int ReadFromFile(const TFileDescriptor& file, void* buffer, size_t count, size_t& got);

// Writes all count bytes; returns 0 or errno.
int WriteToFile(const TFileDescriptor& file, const void* buffer, size_t count);

// Reads the whole file into content; returns 0 or errno (ENOENT for a missing file). A read
// that fails part way is a failure, never an early end of the file.
int ReadFileContent(const NarrowString& fileName, NarrowString& content);

// The text of the symbolic link at path; returns 0 or errno (EINVAL when path is no link).
int ReadSymbolicLink(const NarrowString& path, NarrowString& target);

// The platform's error code for errno after an operation on fileName: ENOENT gives 2, or 3
// when the folder is missing; ENOTDIR and ENAMETOOLONG 3; EMFILE and ENFILE 4; EACCES,
// EPERM, EROFS and EISDIR 5; ENOSPC and EDQUOT 101; EIO 1117; any other the errno itself.
int FileErrorCode(int errnoValue, const NarrowString& fileName);

// The platform's German reason for an error code.
NarrowString SysErrorMessage(int errorCode);

// fileName as an absolute path: relative names are taken from the current folder, and "."
// and ".." segments are resolved lexically.
NarrowString ExpandFileName(const NarrowString& fileName);

bool FileExists(const NarrowString& fileName);
// Creates the folder and any missing folders above it; true when it exists afterwards.
bool ForceDirectories(const NarrowString& folder);
bool DirectoryExists(const NarrowString& fileName);

// The folder part of a path, without its trailing "/" ("" for a bare name, "/" for a root).
NarrowString ExtractFileDir(const NarrowString& fileName);

} // namespace velmora
