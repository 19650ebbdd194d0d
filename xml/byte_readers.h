#pragma once
// Buffered byte readers over a stream: the base reader, and the reader that detects and
// skips a byte-order mark at the start.

#include <vector>

#include "runtime/streams.h"
#include "xml/unicode_codec.h"

namespace velmora {

VELMORA_EXCEPTION_CLASS(EParserUtilsException, Exception);

class TUtilsCustomReader {
public:
  // Reads from the stream's current position on; a null stream raises
  // EParserUtilsException "Stream not specified.". Buffers of fewer than 4 bytes are
  // enlarged to 4, the longest code unit.
  TUtilsCustomReader(TStream* stream, int32_t bufferSize);
  TUtilsCustomReader(const TUtilsCustomReader&) = delete;
  TUtilsCustomReader& operator=(const TUtilsCustomReader&) = delete;
  virtual ~TUtilsCustomReader() = default;

  // Bytes consumed since the origin.
  virtual int64_t Position() const;
  // Exactly count bytes into dest; false when the stream ends first, with the bytes that
  // were left consumed (never any stale ones copied).
  virtual bool ReadBytes(uint8_t* dest, int64_t count);
  // Moves to offset bytes after the origin and drops the buffer.
  virtual void SeekTo(int64_t offset);
  // Moves the stream back over the buffered bytes not yet consumed and drops the buffer.
  virtual void GiveBack();

  int32_t BufferSize() const { return FBufferSize; }
  // The buffered bytes not yet consumed; a codec may take them directly.
  TByteWindow& Window() { return FWindow; }

protected:
  // Refills the empty buffer with at least atLeast bytes where the stream has them.
  void FillBuffer(int64_t atLeast);

private:
  // Reads until count bytes came or the stream ends; returns how many came.
  int64_t ReadFromStream(uint8_t* dest, int64_t count);

  TStream* FStream;
  int64_t FOrigin;
  std::vector<uint8_t> FBuffer;
  TByteWindow FWindow;
  int64_t FStreamOffset = 0; // bytes taken from the stream since the origin
  int32_t FBufferSize;
};

// Whether a reader looks for a byte-order mark: texts held in memory as UTF-16 carry none,
// and a U+FEFF at their start is a character of the text.
enum TBomDetection : uint8_t { bdDetect = 0, bdNone = 1 };

class TUtilsCustomBOMReader : public TUtilsCustomReader {
public:
  // Detects the mark and leaves the stream after it.
  TUtilsCustomBOMReader(TStream* stream, int32_t bufferSize, TBomDetection detection = bdDetect);

  // Relative to the first byte after the mark.
  int64_t Position() const override;
  void SeekTo(int64_t offset) override;

  // The codec class the mark names, or nullptr without a mark.
  TUnicodeCodecClass BomCodecClass() const { return FBomCodecClass; }
  int32_t BomLength() const { return FBomLength; }

private:
  void DetectMark();

  TUnicodeCodecClass FBomCodecClass = nullptr;
  int32_t FBomLength = 0;
};

class TUtilsBOMReader final : public TUtilsCustomBOMReader {
public:
  using TUtilsCustomBOMReader::TUtilsCustomBOMReader;
};

} // namespace velmora
