#include "xml/single_byte_codecs.h"

#include <algorithm>

#include "runtime/format.h"

namespace velmora {

namespace {
#include "xml/code_page_tables.inc"
} // namespace

TCustomSingleByteCodec::TCustomSingleByteCodec(const TCodePage& page) : FPage(page) {
  SetFastPath(fpByteTable, page.Decode);
}

void TCustomSingleByteCodec::DecodeChar(int32_t& code, int32_t& byteLength) {
  uint8_t byte;
  if (!PullByte(byte)) {
    code = kEndOfInput;
    byteLength = 0;
    return;
  }
  code = ByteToCode(byte);
  byteLength = 1;
}

void TCustomSingleByteCodec::EncodeChar(int32_t code, int32_t& byteLength) {
  const uint8_t byte = CodeToByteChecked(code);
  byteLength = 1;
  PushBytes(&byte, 1);
}

void TCustomSingleByteCodec::DecodeBuffer(const uint8_t* bytes, int64_t byteCount,
                                          int64_t& charsWritten, int64_t& bytesUsed,
                                          int64_t destByteSize, char16_t* dest) {
  char16_t* out = dest;
  const char16_t* outEnd = dest + (destByteSize > 0 ? destByteSize / 2 : 0);
  int64_t pos = 0;
  for (; pos < byteCount && out < outEnd; ++pos) {
    try {
      *out = ByteToCode(bytes[pos]);
      ++out;
    } catch (const EConvertError&) {
      if (DecodeFailureMode() == FailRaise) {
        throw;
      }
      const char16_t raw = bytes[pos];
      if (!ApplyDecodeFailure(&raw, 1, out, outEnd)) {
        break;
      }
    }
  }
  charsWritten = out - dest;
  bytesUsed = pos;
}

void TCustomSingleByteCodec::EncodeBuffer(const char16_t* chars, int64_t charCount,
                                          NarrowString& bytes, int64_t& charsUsed) {
  bytes.clear();
  bytes.reserve(static_cast<size_t>(charCount));
  for (int64_t i = 0; i < charCount; ++i) {
    bytes += static_cast<char>(CodeToByte(chars[i]));
  }
  charsUsed = charCount;
}

uint8_t TCustomSingleByteCodec::CodeToByteChecked(int32_t code) {
  if (code < 0 || code > 0xFFFF) {
    throw EConvertError(
        Format("$%x is not a valid %s code point", {static_cast<long long>(code), ""}));
  }
  return CodeToByte(static_cast<char16_t>(code));
}

void TCustomSingleByteCodec::BuildEncodingTable() const {
  int count = 0;
  for (int byte = 0; byte < 256; ++byte) {
    if (FPage.Decode[byte] != kUndefinedByteCode) {
      FEncoding[static_cast<size_t>(count++)] = (uint32_t{FPage.Decode[byte]} << 8) | byte;
    }
  }
  // Sorting (code, byte) keeps the lowest byte first where two bytes share a code point.
  std::sort(FEncoding.begin(), FEncoding.begin() + count);
  FLowBytes.fill(-1);
  for (int i = count - 1; i >= 0; --i) {
    const uint32_t entry = FEncoding[static_cast<size_t>(i)];
    if ((entry >> 8) < FLowBytes.size()) {
      FLowBytes[entry >> 8] = static_cast<int16_t>(entry & 0xFF);
    }
  }
  FEncodingCount = count;
}

int TCustomSingleByteCodec::FindByteInTable(int32_t code) const {
  if (code < 0 || code >= kUndefinedByteCode) {
    return -1;
  }
  if (FEncodingCount < 0) {
    BuildEncodingTable();
  }
  if (code < static_cast<int32_t>(FLowBytes.size())) {
    return FLowBytes[static_cast<size_t>(code)];
  }
  const auto end = FEncoding.begin() + FEncodingCount;
  const auto found = std::lower_bound(FEncoding.begin(), end, static_cast<uint32_t>(code) << 8);
  if (found == end || (*found >> 8) != static_cast<uint32_t>(code)) {
    return -1;
  }
  return static_cast<int>(*found & 0xFF);
}

uint8_t TCustomSingleByteCodec::TableCodeToByte(char16_t code) const {
  const int byte = FindByte(code);
  if (byte < 0) {
    throw EConvertError(Format("Unicode code point $%x has no equivalent in %s",
                               {static_cast<long long>(code), FPage.Name}));
  }
  return static_cast<uint8_t>(byte);
}

#define VELMORA_SINGLE_BYTE_CODEC_TABLE(Name, Page)                                                \
  Name::Name() : TCustomSingleByteCodec(Page) {}

VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_1Codec, kIso8859_1CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_2Codec, kIso8859_2CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_3Codec, kIso8859_3CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_4Codec, kIso8859_4CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_5Codec, kIso8859_5CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_6Codec, kIso8859_6CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_7Codec, kIso8859_7CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_8Codec, kIso8859_8CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_9Codec, kIso8859_9CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_10Codec, kIso8859_10CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_13Codec, kIso8859_13CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_14Codec, kIso8859_14CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TISO8859_15Codec, kIso8859_15CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM037Codec, kIbm037CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM424Codec, kIbm424CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM437Codec, kIbm437CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM500Codec, kIbm500CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM850Codec, kIbm850CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM852Codec, kIbm852CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM855Codec, kIbm855CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM857Codec, kIbm857CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM860Codec, kIbm860CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM861Codec, kIbm861CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM862Codec, kIbm862CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM863Codec, kIbm863CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM864Codec, kIbm864CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM865Codec, kIbm865CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM866Codec, kIbm866CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM869Codec, kIbm869CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TIBM1026Codec, kIbm1026CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1250Codec, kWindows1250CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1251Codec, kWindows1251CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1252Codec, kWindows1252CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1253Codec, kWindows1253CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1254Codec, kWindows1254CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1255Codec, kWindows1255CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1256Codec, kWindows1256CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1257Codec, kWindows1257CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TWindows1258Codec, kWindows1258CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TMacLatin2Codec, kMacLatin2CodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TMacRomanCodec, kMacRomanCodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TMacCyrillicCodec, kMacCyrillicCodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TEBCDIC_USCodec, kEbcdicUsCodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TKOI8_RCodec, kKoi8RCodePage)
VELMORA_SINGLE_BYTE_CODEC_TABLE(TJIS_X0201Codec, kJisX0201CodePage)

#undef VELMORA_SINGLE_BYTE_CODEC_TABLE

TUSASCIICodec::TUSASCIICodec() : TCustomSingleByteCodec(kUsAsciiCodePage) {
  // Only bytes below 0x80 may be taken without the check.
  SetFastPath(fpByteTable, AsciiByteTable());
}

char16_t TUSASCIICodec::ByteToCode(uint8_t byte) {
  if (byte >= 0x80) {
    throw EConvertError(Format("$%x is not a valid %s code point", {byte, "US-ASCII"}));
  }
  return byte;
}

} // namespace velmora
