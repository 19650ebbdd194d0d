#pragma once
// File access below the streams: opening, reading, writing, seeking and closing, with
// failures reported as the operating system's own error values (errno on Linux, the
// GetLastError codes on Windows), and the mapping of those onto the platform's error codes
// and messages. File names are narrow strings as the platform takes them.

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
constexpr int kErrorNegativeSeek = 131;
constexpr int kErrorDeviceIo = 1117;

enum TFileAccess : uint8_t {
  faRead,      // read-only; others may go on reading and writing
  faWrite,     // an existing file, write-only
  faReadWrite, // an existing file, read and write
  faCreate,    // create or truncate, read and write
};

enum TFileOrigin : uint8_t { foBeginning, foCurrent, foEnd };

// A file descriptor on Linux, a file handle on Windows; -1 is none on both.
using TFileHandle = intptr_t;
constexpr TFileHandle kNoFileHandle = -1;

// An open file, closed when the object goes.
class TFileDescriptor {
public:
  TFileDescriptor() = default;
  explicit TFileDescriptor(TFileHandle handle) : FHandle(handle) {}
  TFileDescriptor(TFileDescriptor&& other) noexcept : FHandle(other.Release()) {}
  TFileDescriptor& operator=(TFileDescriptor&& other) noexcept;
  ~TFileDescriptor();

  TFileHandle Get() const { return FHandle; }
  bool IsOpen() const { return FHandle != kNoFileHandle; }
  TFileHandle Release() noexcept;
  // Closes the file; returns 0 or the error of a failed close.
  int Close() noexcept;

private:
  TFileHandle FHandle = kNoFileHandle;
};

// Opens fileName; returns 0 or the error. A folder is refused (EISDIR on Linux; Windows
// itself gives ERROR_ACCESS_DENIED).
int OpenFile(const NarrowString& fileName, TFileAccess access, TFileDescriptor& file);

// Reads up to count bytes; returns 0 or the error. got is 0 at the end of the file.
int ReadFromFile(const TFileDescriptor& file, void* buffer, size_t count, size_t& got);

// Writes all count bytes; returns 0 or the error.
int WriteToFile(const TFileDescriptor& file, const void* buffer, size_t count);

// Moves the file position; returns 0 or the error, kErrorNegativeSeek for a position
// before the start of the file.
int SeekFile(const TFileDescriptor& file, int64_t offset, TFileOrigin origin, int64_t& position);
int FileSizeOf(const TFileDescriptor& file, int64_t& size);
// Whether the file position can be moved: not for a pipe, a FIFO or a terminal, which are
// read once from start to end.
bool IsSeekableFile(const TFileDescriptor& file);
// Cuts or extends the file to size bytes.
int SetFileSizeTo(const TFileDescriptor& file, int64_t size);
// Whether the open file is still in a folder: 0, or ENOENT when it was removed while open
// (on Linux its data would go nowhere; Windows keeps an open file from being removed).
int CheckFileStillLinked(const TFileDescriptor& file);

// Reads the whole file into content; returns 0 or the error. A read that fails part way
// is a failure, never an early end of the file.
int ReadFileContent(const NarrowString& fileName, NarrowString& content);

// Linux: the text of the symbolic link at path; returns 0 or errno (EINVAL when path is
// no link).
int ReadSymbolicLink(const NarrowString& path, NarrowString& target);

// The platform's error code for an error of the functions above after an operation on
// fileName. Linux maps errno: ENOENT gives 2, or 3 when the folder is missing; ENOTDIR and
// ENAMETOOLONG 3; EMFILE and ENFILE 4; EACCES, EPERM, EROFS and EISDIR 5; ENOSPC and
// EDQUOT 101; EIO 1117; any other the errno itself. On Windows the error is that code.
int FileErrorCode(int error, const NarrowString& fileName);

// The platform's German reason for an error code.
NarrowString SysErrorMessage(int errorCode);

// The characters that end a folder name in a path: "/" on Linux, "\" and "/" on Windows.
#ifdef _WIN32
constexpr char kPathDelimiter = '\\';
constexpr std::string_view kPathDelimiters = "\\/:";
#else
constexpr char kPathDelimiter = '/';
constexpr std::string_view kPathDelimiters = "/";
#endif

// fileName as an absolute path: relative names are taken from the current folder, and "."
// and ".." segments are resolved lexically.
NarrowString ExpandFileName(const NarrowString& fileName);

bool FileExists(const NarrowString& fileName);
// Creates the folder and any missing folders above it; true when it exists afterwards.
bool ForceDirectories(const NarrowString& folder);
bool DirectoryExists(const NarrowString& fileName);

// The folder part of a path without its trailing delimiter ("" for a bare name; a root,
// "/" or "C:\", keeps it).
NarrowString ExtractFileDir(const NarrowString& fileName);
// The name after the folder part.
NarrowString ExtractFileName(const NarrowString& fileName);
// fileName with its extension (from the last "." of the name on) replaced by extension.
NarrowString ChangeFileExt(const NarrowString& fileName, std::string_view extension);
// folder followed by a delimiter, unless it ends in one.
NarrowString IncludeTrailingPathDelimiter(const NarrowString& folder);

} // namespace velmora
