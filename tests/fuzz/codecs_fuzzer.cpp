// Each codec's decoder. The first byte picks the codec, the second the failure mode and the
// size of the output buffer; the rest are the bytes to decode. Decoding never writes more
// UTF-16 units than bytes it used, nor more than the buffer holds; decoding in small
// pieces gives what one call gives; decoding character by character agrees with decoding
// the buffer; and what was decoded encodes to bytes that decode to it again.

#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "xml/single_byte_codecs.h"
#include "xml/utf_codecs.h"

namespace velmora::fuzz {
namespace {

using TClassRef = TUnicodeCodecClass (*)();

const TClassRef kCodecs[] = {
    TUTF8Codec::ClassRef,        TUTF16BECodec::ClassRef,     TUTF16LECodec::ClassRef,
    TUCS4BECodec::ClassRef,      TUCS4LECodec::ClassRef,      TUCS4_2143Codec::ClassRef,
    TUCS4_3412Codec::ClassRef,   TUCS2Codec::ClassRef,        TUSASCIICodec::ClassRef,
    TISO8859_1Codec::ClassRef,   TISO8859_2Codec::ClassRef,   TISO8859_3Codec::ClassRef,
    TISO8859_4Codec::ClassRef,   TISO8859_5Codec::ClassRef,   TISO8859_6Codec::ClassRef,
    TISO8859_7Codec::ClassRef,   TISO8859_8Codec::ClassRef,   TISO8859_9Codec::ClassRef,
    TISO8859_10Codec::ClassRef,  TISO8859_13Codec::ClassRef,  TISO8859_14Codec::ClassRef,
    TISO8859_15Codec::ClassRef,  TIBM037Codec::ClassRef,      TIBM424Codec::ClassRef,
    TIBM437Codec::ClassRef,      TIBM500Codec::ClassRef,      TIBM850Codec::ClassRef,
    TIBM852Codec::ClassRef,      TIBM855Codec::ClassRef,      TIBM857Codec::ClassRef,
    TIBM860Codec::ClassRef,      TIBM861Codec::ClassRef,      TIBM862Codec::ClassRef,
    TIBM863Codec::ClassRef,      TIBM864Codec::ClassRef,      TIBM865Codec::ClassRef,
    TIBM866Codec::ClassRef,      TIBM869Codec::ClassRef,      TIBM1026Codec::ClassRef,
    TWindows1250Codec::ClassRef, TWindows1251Codec::ClassRef, TWindows1252Codec::ClassRef,
    TWindows1253Codec::ClassRef, TWindows1254Codec::ClassRef, TWindows1255Codec::ClassRef,
    TWindows1256Codec::ClassRef, TWindows1257Codec::ClassRef, TWindows1258Codec::ClassRef,
    TMacLatin2Codec::ClassRef,   TMacRomanCodec::ClassRef,    TMacCyrillicCodec::ClassRef,
    TEBCDIC_USCodec::ClassRef,   TKOI8_RCodec::ClassRef,      TJIS_X0201Codec::ClassRef,
};

struct TDecoded {
  WideString Text;
  int64_t BytesUsed = 0;
};

// One DecodeBuffer call into a buffer of destUnits units, with the bounds checked.
TDecoded DecodeOnce(TCustomUnicodeCodec& codec, std::string_view bytes, size_t destUnits) {
  std::vector<char16_t> dest(destUnits + 1, u'\0');
  int64_t written = 0;
  int64_t used = 0;
  codec.DecodeBuffer(reinterpret_cast<const uint8_t*>(bytes.data()),
                     static_cast<int64_t>(bytes.size()), written, used,
                     static_cast<int64_t>(destUnits * sizeof(char16_t)), dest.data());
  if (used < 0 || used > static_cast<int64_t>(bytes.size())) {
    Broken("a decoder uses no more bytes than it is given");
  }
  if (written < 0 || written > static_cast<int64_t>(destUnits)) {
    Broken("a decoder writes no more units than the buffer holds");
  }
  if (written > used) {
    Broken("a decoder writes no more units than bytes it used");
  }
  if (dest[destUnits] != u'\0') {
    Broken("a decoder writes nothing past the buffer");
  }
  return {WideString(dest.data(), static_cast<size_t>(written)), used};
}

// The bytes decoded in pieces of at most destUnits units, until a call makes no progress.
TDecoded DecodeInPieces(TCustomUnicodeCodec& codec, std::string_view bytes, size_t destUnits) {
  TDecoded all;
  for (;;) {
    const TDecoded piece =
        DecodeOnce(codec, bytes.substr(static_cast<size_t>(all.BytesUsed)), destUnits);
    if (piece.BytesUsed == 0) {
      return all;
    }
    all.Text += piece.Text;
    all.BytesUsed += piece.BytesUsed;
  }
}

struct TByteCursor {
  std::string_view Bytes;
  size_t Position = 0;
};

bool SupplyBytes(void* owner, TCustomUnicodeCodec&, uint8_t* dest, int32_t count) {
  auto& cursor = *static_cast<TByteCursor*>(owner);
  const size_t left = cursor.Bytes.size() - cursor.Position;
  const size_t taken = std::min(left, static_cast<size_t>(count));
  std::memcpy(dest, cursor.Bytes.data() + cursor.Position, taken);
  cursor.Position += taken;
  return taken == static_cast<size_t>(count);
}

// The text read character by character, or false when a character does not decode.
bool DecodeByChars(TCustomUnicodeCodec& codec, std::string_view bytes, WideString& text) {
  TByteCursor cursor{bytes};
  codec.SetByteSource({&cursor, SupplyBytes, nullptr});
  int64_t total = 0;
  for (;;) {
    int32_t code = kEndOfInput;
    int32_t length = 0;
    const size_t before = cursor.Position;
    try {
      codec.ReadChar(code, length);
    } catch (const EConvertError&) {
      if (cursor.Position == before && !codec.HasPending()) {
        Broken("a character that does not decode consumes a byte");
      }
      return false;
    }
    if (code == kEndOfInput) {
      break;
    }
    if (length <= 0 || code < 0 || code > 0x10FFFF) {
      Broken("a decoded character has a length and a code point");
    }
    total += length;
    // A surrogate code point that a codec lets pass stands for its own unit, as in a buffer.
    if (code >= 0xD800 && code <= 0xDFFF) {
      text += static_cast<char16_t>(code);
    } else {
      AppendUtf16(text, code);
    }
  }
  if (total != static_cast<int64_t>(cursor.Position)) {
    Broken("the characters' lengths add up to the bytes read");
  }
  return true;
}

void Run(TUnicodeCodecClass codecClass, uint8_t settings, std::string_view bytes) {
  const auto mode = static_cast<TDecodeFailureMode>(settings % 5);
  // Two units at least: a character beyond U+FFFF takes two.
  const size_t pieceUnits = 2 + (settings >> 3) % 8;

  std::unique_ptr<TCustomUnicodeCodec> codec = CreateCodec(codecClass);
  codec->SetDecodeFailureMode(mode);
  TDecoded whole;
  try {
    whole = DecodeOnce(*codec, bytes, bytes.size());
  } catch (const Exception&) {
    return; // FailRaise met a unit that does not decode
  }
  TDecoded pieces;
  try {
    pieces = DecodeInPieces(*codec, bytes, pieceUnits);
  } catch (const Exception& failure) {
    Broken("decoding in pieces fails only where one call does", failure.what());
  }
  if (pieces.Text != whole.Text || pieces.BytesUsed != whole.BytesUsed) {
    Broken("decoding in pieces gives what one call gives");
  }
  if (mode != FailRaise) {
    return;
  }
  // Each whole character decodes as the buffer did; the rest (a cut-off sequence) is
  // what the buffer left.
  std::unique_ptr<TCustomUnicodeCodec> reader = CreateCodec(codecClass);
  WideString byChars;
  if (DecodeByChars(*reader, bytes.substr(0, static_cast<size_t>(whole.BytesUsed)), byChars) &&
      byChars != whole.Text) {
    Broken("reading characters agrees with decoding the buffer");
  }
  std::unique_ptr<TCustomUnicodeCodec> writer = CreateCodec(codecClass);
  NarrowString encoded;
  try {
    encoded = EncodeText(*writer, whole.Text);
  } catch (const EConvertError&) {
    return; // a unit the encoding cannot write, a lone surrogate say
  }
  std::unique_ptr<TCustomUnicodeCodec> again = CreateCodec(codecClass);
  if (DecodeText(*again, encoded) != whole.Text) {
    Broken("what was decoded encodes to bytes that decode to it again");
  }
}

} // namespace
} // namespace velmora::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace velmora::fuzz;
  if (size < 2) {
    return 0;
  }
  const TClassRef codec = kCodecs[data[0] % std::size(kCodecs)];
  try {
    Run(codec(), data[1], AsText(data + 2, size - 2));
  } catch (const velmora::Exception&) {
    // A clear failure of the library is a sound answer to hostile input.
  }
  return 0;
}
