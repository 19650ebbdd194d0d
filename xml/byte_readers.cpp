#include "xml/byte_readers.h"

#include <algorithm>
#include <initializer_list>

#include "xml/utf_codecs.h"

namespace velmora {

namespace {

constexpr int32_t kMinimumBufferSize = 4;

TStream* RequireStream(TStream* stream) {
  if (!stream) {
    throw EParserUtilsException("Stream not specified.");
  }
  return stream;
}

} // namespace

TUtilsCustomReader::TUtilsCustomReader(TStream* stream, int32_t bufferSize)
    : FStream(RequireStream(stream)), FOrigin(stream->Position()),
      FBufferSize(std::max(bufferSize, kMinimumBufferSize)) {
  FBuffer.resize(static_cast<size_t>(FBufferSize));
  FWindow.Next = FWindow.End = FBuffer.data();
}

int64_t TUtilsCustomReader::Position() const {
  return FStreamOffset - FWindow.Available();
}

bool TUtilsCustomReader::ReadBytes(uint8_t* dest, int64_t count) {
  if (count <= 0) {
    return true;
  }
  int64_t available = FWindow.Available();
  if (available >= count) {
    std::copy(FWindow.Next, FWindow.Next + count, dest);
    FWindow.Next += count;
    return true;
  }
  // Take what is left, then the rest from a refill (or straight from the stream when the
  // rest would not fit the buffer).
  dest = std::copy(FWindow.Next, FWindow.End, dest);
  count -= available;
  FWindow.Next = FWindow.End;
  if (count > FBufferSize) {
    return ReadFromStream(dest, count) == count;
  }
  FillBuffer(count);
  available = FWindow.Available();
  const int64_t taken = std::min(available, count);
  std::copy(FWindow.Next, FWindow.Next + taken, dest);
  FWindow.Next += taken;
  return taken == count;
}

void TUtilsCustomReader::SeekTo(int64_t offset) {
  FStream->Seek(FOrigin + offset, soBeginning);
  FStreamOffset = offset;
  FWindow.Next = FWindow.End = FBuffer.data();
}

void TUtilsCustomReader::GiveBack() {
  const int64_t available = FWindow.Available();
  if (available > 0) {
    FStream->Seek(-available, soCurrent);
    FStreamOffset -= available;
  }
  FWindow.Next = FWindow.End = FBuffer.data();
}

void TUtilsCustomReader::FillBuffer(int64_t atLeast) {
  // Bytes a stream holds in memory are read where they are, a large window at a time.
  constexpr int64_t kDirectWindow = 256 << 10;
  int64_t direct = 0;
  if (const uint8_t* bytes = FStream->DirectBytes(direct)) {
    const int64_t taken = std::min(direct, std::max(kDirectWindow, atLeast));
    FStream->Seek(taken, soCurrent);
    FStreamOffset += taken;
    FWindow.Next = bytes;
    FWindow.End = bytes + taken;
    return;
  }
  uint8_t* start = FBuffer.data();
  int64_t got = 0;
  while (got < atLeast) {
    const int64_t read = FStream->Read(start + got, FBufferSize - got);
    if (read <= 0) {
      break;
    }
    got += read;
  }
  FStreamOffset += got;
  FWindow.Next = start;
  FWindow.End = start + got;
}

int64_t TUtilsCustomReader::ReadFromStream(uint8_t* dest, int64_t count) {
  int64_t got = 0;
  while (got < count) {
    const int64_t read = FStream->Read(dest + got, count - got);
    if (read <= 0) {
      break;
    }
    got += read;
  }
  FStreamOffset += got;
  return got;
}

TUtilsCustomBOMReader::TUtilsCustomBOMReader(TStream* stream, int32_t bufferSize,
                                             TBomDetection detection)
    : TUtilsCustomReader(stream, bufferSize) {
  if (detection == bdDetect) {
    DetectMark();
  }
}

void TUtilsCustomBOMReader::DetectMark() {
  FillBuffer(4);
  TByteWindow& window = Window();
  const int64_t available = window.Available();
  const uint8_t* b = window.Next;
  auto starts = [&](std::initializer_list<uint8_t> bytes) {
    return available >= static_cast<int64_t>(bytes.size()) &&
           std::equal(bytes.begin(), bytes.end(), b);
  };
  if (starts({0xEF, 0xBB, 0xBF})) {
    FBomCodecClass = TUTF8Codec::ClassRef();
    FBomLength = 3;
  } else if (starts({0xFE, 0xFF, 0x00, 0x00})) {
    FBomCodecClass = TUCS4_3412Codec::ClassRef();
    FBomLength = 4;
  } else if (starts({0xFE, 0xFF})) {
    FBomCodecClass = TUTF16BECodec::ClassRef();
    FBomLength = 2;
  } else if (starts({0xFF, 0xFE, 0x00, 0x00})) {
    FBomCodecClass = TUCS4LECodec::ClassRef();
    FBomLength = 4;
  } else if (starts({0xFF, 0xFE})) {
    FBomCodecClass = TUTF16LECodec::ClassRef();
    FBomLength = 2;
  } else if (starts({0x00, 0x00, 0xFE, 0xFF})) {
    FBomCodecClass = TUCS4BECodec::ClassRef();
    FBomLength = 4;
  } else if (starts({0x00, 0x00, 0xFF, 0xFE})) {
    FBomCodecClass = TUCS4_2143Codec::ClassRef();
    FBomLength = 4;
  }
  window.Next += FBomLength;
}

int64_t TUtilsCustomBOMReader::Position() const {
  return TUtilsCustomReader::Position() - FBomLength;
}

void TUtilsCustomBOMReader::SeekTo(int64_t offset) {
  TUtilsCustomReader::SeekTo(offset + FBomLength);
}

} // namespace velmora
