#include "runtime/files.h"

#include <windows.h>

#include <algorithm>
#include <vector>

// File access through Win32 file handles; errors are the GetLastError codes as they stand.

namespace velmora {

namespace {

HANDLE Handle(const TFileDescriptor& file) {
  return reinterpret_cast<HANDLE>(file.Get());
}

int LastError() {
  const DWORD error = ::GetLastError();
  return error == 0 ? kErrorDeviceIo : static_cast<int>(error);
}

DWORD FileAttributes(const NarrowString& fileName) {
  return ::GetFileAttributesA(fileName.c_str());
}

} // namespace

int TFileDescriptor::Close() noexcept {
  if (!IsOpen()) {
    return 0;
  }
  return ::CloseHandle(reinterpret_cast<HANDLE>(Release())) ? 0 : LastError();
}

int OpenFile(const NarrowString& fileName, TFileAccess access, TFileDescriptor& file) {
  DWORD desired = GENERIC_READ;
  DWORD disposition = OPEN_EXISTING;
  switch (access) {
  case faRead:
    break;
  case faWrite:
    desired = GENERIC_WRITE;
    break;
  case faReadWrite:
    desired = GENERIC_READ | GENERIC_WRITE;
    break;
  case faCreate:
    desired = GENERIC_READ | GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
    break;
  }
  // Others may go on reading and writing, as on Linux; a folder fails with
  // ERROR_ACCESS_DENIED, since FILE_FLAG_BACKUP_SEMANTICS is not given.
  const HANDLE handle = ::CreateFileA(fileName.c_str(), desired, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return LastError();
  }
  file = TFileDescriptor(reinterpret_cast<TFileHandle>(handle));
  return 0;
}

int ReadFromFile(const TFileDescriptor& file, void* buffer, size_t count, size_t& got) {
  const DWORD wanted = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
  DWORD read = 0;
  if (!::ReadFile(Handle(file), buffer, wanted, &read, nullptr)) {
    got = 0;
    return LastError();
  }
  got = read;
  return 0;
}

int WriteToFile(const TFileDescriptor& file, const void* buffer, size_t count) {
  const char* data = static_cast<const char*>(buffer);
  while (count > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(count, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(Handle(file), data, chunk, &written, nullptr)) {
      return LastError();
    }
    if (written == 0) {
      return kErrorDeviceIo;
    }
    data += written;
    count -= written;
  }
  return 0;
}

int SeekFile(const TFileDescriptor& file, int64_t offset, TFileOrigin origin, int64_t& position) {
  const DWORD method =
      origin == foBeginning ? FILE_BEGIN : (origin == foCurrent ? FILE_CURRENT : FILE_END);
  LARGE_INTEGER distance;
  distance.QuadPart = offset;
  LARGE_INTEGER result;
  if (!::SetFilePointerEx(Handle(file), distance, &result, method)) {
    return LastError(); // ERROR_NEGATIVE_SEEK (131) before the start
  }
  position = result.QuadPart;
  return 0;
}

int CheckFileStillLinked(const TFileDescriptor&) {
  return 0;
}

bool IsSeekableFile(const TFileDescriptor& file) {
  // Moving the position of a pipe or a console is undefined, not refused.
  return ::GetFileType(Handle(file)) == FILE_TYPE_DISK;
}

int FileSizeOf(const TFileDescriptor& file, int64_t& size) {
  LARGE_INTEGER result;
  if (!::GetFileSizeEx(Handle(file), &result)) {
    return LastError();
  }
  size = result.QuadPart;
  return 0;
}

int SetFileSizeTo(const TFileDescriptor& file, int64_t size) {
  int64_t position = 0;
  if (const int error = SeekFile(file, 0, foCurrent, position)) {
    return error;
  }
  int64_t ignored = 0;
  if (const int error = SeekFile(file, size, foBeginning, ignored)) {
    return error;
  }
  const int error = ::SetEndOfFile(Handle(file)) ? 0 : LastError();
  SeekFile(file, position, foBeginning, ignored);
  return error;
}

int FileErrorCode(int error, const NarrowString&) {
  return error;
}

NarrowString ExpandFileName(const NarrowString& fileName) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetFullPathNameA(fileName.c_str(), static_cast<DWORD>(buffer.size()),
                                            buffer.data(), nullptr);
    if (length == 0) {
      return fileName;
    }
    if (length < buffer.size()) {
      return NarrowString(buffer.data(), length);
    }
    buffer.resize(length + 1);
  }
}

bool FileExists(const NarrowString& fileName) {
  const DWORD attributes = FileAttributes(fileName);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const NarrowString& fileName) {
  const DWORD attributes = FileAttributes(fileName);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const NarrowString& folder) {
  if (folder.empty() || DirectoryExists(folder)) {
    return !folder.empty();
  }
  // Every folder on the way; those that exist (the drive, a share) just fail.
  for (size_t delimiter = folder.find_first_of("\\/", 1); delimiter != NarrowString::npos;
       delimiter = folder.find_first_of("\\/", delimiter + 1)) {
    ::CreateDirectoryA(folder.substr(0, delimiter).c_str(), nullptr);
  }
  ::CreateDirectoryA(folder.c_str(), nullptr);
  return DirectoryExists(folder);
}

} // namespace velmora
