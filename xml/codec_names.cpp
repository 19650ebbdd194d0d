#include "xml/codec_names.h"

#include "xml/cs_mib.h"
#include "xml/single_byte_codecs.h"
#include "xml/utf_codecs.h"

namespace velmora {

namespace {

// A codec and its names, its own name first.
struct TCodecNames {
  TUnicodeCodecClass (*Class)();
  const char* Names[18]; // ends at the first nullptr
};

const TCodecNames kCodecNames[] = {
    {TUSASCIICodec::ClassRef,
     {"ASCII", "US-ASCII", "us", "ANSI_X3.4-1968", "ANSI_X3.4-1986", "iso-ir-6", "ISO_646.irv:1991",
      "ISO_646.irv", "ISO_646", "ISO-646", "ISO646", "ISO646-US", "IBM367", "cp367", "csASCII",
      "IBM891", "IBM903"}},
    {TISO8859_1Codec::ClassRef,
     {"ISO-8859-1", "ISO_8859-1:1987", "ISO_8859-1", "iso-ir-100", "latin1", "l1", "IBM819",
      "cp819"}},
    {TISO8859_2Codec::ClassRef,
     {"ISO-8859-2", "ISO_8859-2:1987", "ISO_8859-2", "iso-ir-101", "latin2", "l2"}},
    {TISO8859_3Codec::ClassRef,
     {"ISO-8859-3", "ISO_8859-3:1988", "ISO_8859-3", "iso-ir-109", "latin3", "l3"}},
    {TISO8859_4Codec::ClassRef,
     {"ISO-8859-4", "ISO_8859-4:1988", "ISO_8859-4", "iso-ir-110", "latin4", "l4"}},
    {TISO8859_5Codec::ClassRef,
     {"ISO-8859-5", "ISO_8859-5:1988", "ISO_8859-5", "iso-ir-144", "cyrillic"}},
    {TISO8859_6Codec::ClassRef,
     {"ISO-8859-6", "ISO_8859-6:1987", "ISO_8859-6", "iso-ir-127", "ECMA-114", "ASMO-708",
      "arabic"}},
    {TISO8859_7Codec::ClassRef,
     {"ISO-8859-7", "ISO_8859-7:1987", "ISO_8859-7", "iso-ir-126", "ELOT_928", "ECMA-118", "greek",
      "greek8"}},
    {TISO8859_8Codec::ClassRef,
     {"ISO-8859-8", "ISO_8859-8:1988", "ISO_8859-8", "iso-ir-138", "hebrew"}},
    {TISO8859_9Codec::ClassRef,
     {"ISO-8859-9", "ISO_8859-9:1989", "ISO_8859-9", "iso-ir-148", "latin5", "l5"}},
    {TISO8859_10Codec::ClassRef,
     {"ISO-8859-10", "ISO_8859-10:1992", "ISO_8859-10", "iso-ir-157", "latin6", "l6"}},
    {TISO8859_13Codec::ClassRef, {"ISO-8859-13", "ISO_8859-13", "latin7", "l7"}},
    {TISO8859_14Codec::ClassRef,
     {"ISO-8859-14", "ISO_8859-14:1998", "ISO_8859-14", "iso-ir-199", "latin8", "l8",
      "iso-celtic"}},
    {TISO8859_15Codec::ClassRef, {"ISO-8859-15", "ISO_8859-15", "latin9", "l9", "latin0", "l0"}},
    {TKOI8_RCodec::ClassRef, {"KOI8-R"}},
    {TMacLatin2Codec::ClassRef, {"MacLatin2"}},
    // IANA's "macintosh" (MIB 2027) is Mac Roman.
    {TMacRomanCodec::ClassRef, {"MacRoman", "Mac", "Macintosh"}},
    {TMacCyrillicCodec::ClassRef, {"MacCyrillic"}},
    {TIBM437Codec::ClassRef, {"IBM437", "cp437", "DOSLatinUS"}},
    {TWindows1250Codec::ClassRef, {"windows-1250", "cp1250", "WinLatin2"}},
    {TWindows1251Codec::ClassRef, {"windows-1251", "cp1251", "WinCyrillic"}},
    {TWindows1252Codec::ClassRef, {"windows-1252", "cp1252", "WinLatin1"}},
    {TEBCDIC_USCodec::ClassRef, {"ebcdic-us", "ebcdic"}},
    {TUTF8Codec::ClassRef, {"UTF-8", "utf8"}},
    {TUTF16BECodec::ClassRef, {"UTF-16BE", "utf16be"}},
    {TUTF16LECodec::ClassRef, {"UTF-16LE", "utf16le"}},
};

struct TMibCodec {
  int32_t Mib;
  TUnicodeCodecClass (*Class)();
};

// 2027 ("macintosh", "mac", "csMacintosh") gives Mac Roman, as the names "Mac" and
// "Macintosh" above do: all names of one registered character set choose one codec.
const TMibCodec kMibCodecs[] = {
    {3, TUSASCIICodec::ClassRef},        {4, TISO8859_1Codec::ClassRef},
    {5, TISO8859_2Codec::ClassRef},      {6, TISO8859_3Codec::ClassRef},
    {7, TISO8859_4Codec::ClassRef},      {8, TISO8859_5Codec::ClassRef},
    {9, TISO8859_6Codec::ClassRef},      {10, TISO8859_7Codec::ClassRef},
    {11, TISO8859_8Codec::ClassRef},     {12, TISO8859_9Codec::ClassRef},
    {13, TISO8859_10Codec::ClassRef},    {15, TJIS_X0201Codec::ClassRef},
    {106, TUTF8Codec::ClassRef},         {109, TISO8859_13Codec::ClassRef},
    {110, TISO8859_14Codec::ClassRef},   {111, TISO8859_15Codec::ClassRef},
    {1000, TUCS2Codec::ClassRef},        {1013, TUTF16BECodec::ClassRef},
    {1014, TUTF16LECodec::ClassRef},     {2009, TIBM850Codec::ClassRef},
    {2010, TIBM852Codec::ClassRef},      {2011, TIBM437Codec::ClassRef},
    {2013, TIBM862Codec::ClassRef},      {2027, TMacRomanCodec::ClassRef},
    {2028, TIBM037Codec::ClassRef},      {2043, TIBM424Codec::ClassRef},
    {2044, TIBM500Codec::ClassRef},      {2046, TIBM855Codec::ClassRef},
    {2047, TIBM857Codec::ClassRef},      {2048, TIBM860Codec::ClassRef},
    {2049, TIBM861Codec::ClassRef},      {2050, TIBM863Codec::ClassRef},
    {2051, TIBM864Codec::ClassRef},      {2052, TIBM865Codec::ClassRef},
    {2054, TIBM869Codec::ClassRef},      {2063, TIBM1026Codec::ClassRef},
    {2084, TKOI8_RCodec::ClassRef},      {2086, TIBM866Codec::ClassRef},
    {2250, TWindows1250Codec::ClassRef}, {2251, TWindows1251Codec::ClassRef},
    {2252, TWindows1252Codec::ClassRef}, {2253, TWindows1253Codec::ClassRef},
    {2254, TWindows1254Codec::ClassRef}, {2255, TWindows1255Codec::ClassRef},
    {2256, TWindows1256Codec::ClassRef}, {2257, TWindows1257Codec::ClassRef},
    {2258, TWindows1258Codec::ClassRef},
};

} // namespace

TUnicodeCodecClass FindCodecClass(std::string_view name) {
  for (const TCodecNames& row : kCodecNames) {
    for (const char* candidate : row.Names) {
      if (!candidate) {
        break;
      }
      if (SameAsciiText(candidate, name)) {
        return row.Class();
      }
    }
  }
  TOwned<TCSMIB> registry = MakeOwned<TCSMIB>();
  if (!registry->SetByName(name)) {
    return nullptr;
  }
  return CodecClassOfMib(registry->Enum());
}

TUnicodeCodecClass CodecClassOfMib(int32_t mib) {
  for (const TMibCodec& entry : kMibCodecs) {
    if (entry.Mib == mib) {
      return entry.Class();
    }
  }
  return nullptr;
}

NarrowString CodecName(TUnicodeCodecClass codecClass) {
  for (const TCodecNames& row : kCodecNames) {
    if (codecClass && row.Class() == codecClass) {
      return row.Names[0];
    }
  }
  return NarrowString();
}

} // namespace velmora
