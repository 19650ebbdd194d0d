#pragma once
// Byte streams: a memory stream (owning a growable buffer, or viewing bytes owned
// elsewhere) and a file stream.

#include <cstdint>
#include <vector>

#include "runtime/files.h"
#include "runtime/strings.h"

namespace velmora {

enum TSeekOrigin : uint8_t { soBeginning = 0, soCurrent = 1, soEnd = 2 };

class TStream {
public:
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;
  virtual ~TStream() = default;

  // Reads up to count bytes at the position and returns how many were read (0 at the end).
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  // Writes count bytes at the position and returns how many were written.
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  // Moves the position and returns the new one.
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;
  virtual int64_t Size();
  virtual void SetSize(int64_t size) = 0;
  // False for a stream read once from start to end (a pipe): it has no position or size.
  virtual bool CanSeek() { return true; }

  // The bytes from the position on, where the stream holds them in memory (they stay valid
  // while the stream is not written to); none otherwise. Reading them is moving the
  // position.
  virtual const uint8_t* DirectBytes(int64_t& available) {
    available = 0;
    return nullptr;
  }

  int64_t Position() { return Seek(0, soCurrent); }
  void SetPosition(int64_t position) { Seek(position, soBeginning); }

  // Read or Write of exactly count bytes: EReadError "Stream-Lesefehler" or EWriteError
  // "Stream-Schreibfehler" when fewer are transferred.
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Appends the bytes from the position to the end to bytes, up to limit of them; false,
  // with bytes holding the first limit, when there are more. For a stream of unknown size.
  bool ReadRest(NarrowString& bytes, int64_t limit);
};

class TMemoryStream : public TStream {
public:
  // An empty stream that owns its bytes and grows as it is written.
  TMemoryStream() = default;
  // A read-only view of size bytes at data, which must outlive the stream.
  TMemoryStream(const void* data, int64_t size);

  int64_t Read(void* buffer, int64_t count) override;
  // Writing a view transfers nothing.
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return FSize; }
  void SetSize(int64_t size) override;
  const uint8_t* DirectBytes(int64_t& available) override {
    available = FSize - FPosition;
    return available > 0 ? Memory() + FPosition : nullptr;
  }

  const uint8_t* Memory() const { return FView ? FView : FBuffer.data(); }
  bool IsView() const { return FView != nullptr; }

private:
  std::vector<uint8_t> FBuffer;
  const uint8_t* FView = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

class TFileStream : public TStream {
public:
  // Opens fileName; a failure raises EFOpenError "Datei %s kann nicht geöffnet werden. %s"
  // (EFCreateError "Datei %s kann nicht erstellt werden. %s" for faCreate) with the full
  // path and the platform's reason.
  TFileStream(const NarrowString& fileName, TFileAccess access);

  // Failures of the operating system raise EInOutError with the platform's error code.
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;
  void SetSize(int64_t size) override;
  bool CanSeek() override;

  const NarrowString& FileName() const { return FFileName; }

private:
  [[noreturn]] void RaiseLastError(int error) const;

  NarrowString FFileName;
  TFileDescriptor FFile;
};

} // namespace velmora
