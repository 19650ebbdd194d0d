#include "runtime/streams.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "runtime/exceptions.h"
#include "runtime/format.h"

namespace velmora {

namespace {

[[noreturn]] void RaiseInvalidPosition() {
  throw EStreamError("Ungültige Stream-Position");
}

} // namespace

int64_t TStream::Size() {
  const int64_t position = Seek(0, soCurrent);
  const int64_t size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
  if (count != 0 && Read(buffer, count) != count) {
    throw EReadError("Stream-Lesefehler");
  }
}

bool TStream::ReadRest(NarrowString& bytes, int64_t limit) {
  constexpr int64_t kPiece = 64 << 10;
  const size_t base = bytes.size(); // what bytes held before: the limit counts from here
  for (int64_t taken = 0; taken <= limit;) {
    // One byte beyond the limit tells a stream of exactly limit bytes from a longer one.
    const int64_t wanted = std::min(kPiece - 1, limit - taken) + 1;
    const size_t start = base + static_cast<size_t>(taken);
    bytes.resize(start + static_cast<size_t>(wanted));
    const int64_t got = Read(bytes.data() + start, wanted);
    bytes.resize(start + static_cast<size_t>(got));
    if (got == 0) {
      return true;
    }
    taken += got;
  }
  bytes.resize(base + static_cast<size_t>(limit));
  return false;
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  if (count != 0 && Write(buffer, count) != count) {
    throw EWriteError("Stream-Schreibfehler");
  }
}

TMemoryStream::TMemoryStream(const void* data, int64_t size)
    : FView(static_cast<const uint8_t*>(data)), FSize(size < 0 ? 0 : size) {
  static const uint8_t kNothing = 0;
  if (!FView) {
    FView = &kNothing;
    FSize = 0;
  }
}

int64_t TMemoryStream::Read(void* buffer, int64_t count) {
  if (count <= 0 || FPosition >= FSize) {
    return 0;
  }
  const int64_t available = std::min(count, FSize - FPosition);
  std::memcpy(buffer, Memory() + FPosition, static_cast<size_t>(available));
  FPosition += available;
  return available;
}

int64_t TMemoryStream::Write(const void* buffer, int64_t count) {
  if (count <= 0 || FView) {
    return 0;
  }
  if (count > std::numeric_limits<int64_t>::max() - FPosition) {
    RaiseInvalidPosition();
  }
  const int64_t end = FPosition + count;
  if (end > FSize) {
    SetSize(end);
  }
  std::memcpy(FBuffer.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == soBeginning ? 0 : (origin == soCurrent ? FPosition : FSize);
  if ((offset < 0 && base + offset < 0) ||
      (offset > 0 && offset > std::numeric_limits<int64_t>::max() - base)) {
    RaiseInvalidPosition();
  }
  FPosition = base + offset;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t size) {
  if (FView || size < 0) {
    throw EStreamError("Stream-Schreibfehler");
  }
  // Grow geometrically so that writing in small pieces stays linear.
  if (static_cast<uint64_t>(size) > FBuffer.capacity()) {
    FBuffer.reserve(std::max(static_cast<size_t>(size), FBuffer.capacity() * 2));
  }
  FBuffer.resize(static_cast<size_t>(size));
  FSize = size;
  FPosition = std::min(FPosition, FSize);
}

TFileStream::TFileStream(const NarrowString& fileName, TFileAccess access) : FFileName(fileName) {
  const int error = OpenFile(fileName, access, FFile);
  if (error != 0) {
    const NarrowString reason = SysErrorMessage(FileErrorCode(error, fileName));
    if (access == faCreate) {
      throw EFCreateError(
          Format("Datei %s kann nicht erstellt werden. %s", {ExpandFileName(fileName), reason}));
    }
    throw EFOpenError(
        Format("Datei %s kann nicht geöffnet werden. %s", {ExpandFileName(fileName), reason}));
  }
}

void TFileStream::RaiseLastError(int error) const {
  throw EInOutError(FileErrorCode(error, FFileName));
}

int64_t TFileStream::Read(void* buffer, int64_t count) {
  if (count <= 0) {
    return 0;
  }
  size_t got = 0;
  if (const int error = ReadFromFile(FFile, buffer, static_cast<size_t>(count), got)) {
    RaiseLastError(error);
  }
  return static_cast<int64_t>(got);
}

int64_t TFileStream::Write(const void* buffer, int64_t count) {
  if (count <= 0) {
    return 0;
  }
  if (const int error = WriteToFile(FFile, buffer, static_cast<size_t>(count))) {
    RaiseLastError(error);
  }
  return count;
}

int64_t TFileStream::Seek(int64_t offset, TSeekOrigin origin) {
  const TFileOrigin from =
      origin == soBeginning ? foBeginning : (origin == soCurrent ? foCurrent : foEnd);
  int64_t position = 0;
  if (const int error = SeekFile(FFile, offset, from, position)) {
    if (error == kErrorNegativeSeek) {
      RaiseInvalidPosition();
    }
    RaiseLastError(error);
  }
  return position;
}

int64_t TFileStream::Size() {
  int64_t size = 0;
  if (const int error = FileSizeOf(FFile, size)) {
    RaiseLastError(error);
  }
  return size;
}

bool TFileStream::CanSeek() {
  return IsSeekableFile(FFile);
}

void TFileStream::SetSize(int64_t size) {
  if (size < 0) {
    RaiseInvalidPosition();
  }
  if (const int error = SetFileSizeTo(FFile, size)) {
    RaiseLastError(error);
  }
}

} // namespace velmora
