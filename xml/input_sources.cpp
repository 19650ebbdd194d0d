#include "xml/input_sources.h"

#include "dom/dom_exceptions.h"
#include "dom/xml_rules.h"
#include "xml/codec_names.h"
#include "xml/utf_codecs.h"

namespace velmora {

namespace {

constexpr TCharSet kDeclarationSpace(u" \r\n\t");

bool IsQuote(int32_t c) {
  return c == '"' || c == '\'';
}

} // namespace

TXmlSimpleInputSource::TXmlSimpleInputSource(TStream* stream, WideString publicId,
                                             WideString systemId, int32_t bufferSize,
                                             TUnicodeCodecClass codecClass, int64_t initialByte,
                                             int64_t initialChar, int64_t initialColumn,
                                             int64_t initialTabs, int64_t initialLine,
                                             TBomDetection detection)
    : TUtilsUCS4Reader(stream, bufferSize, codecClass, initialByte, initialChar, initialColumn,
                       initialTabs, initialLine, detection),
      FPublicId(std::move(publicId)), FSystemId(std::move(systemId)) {}

WideString TXmlSimpleInputSource::EncodingName() const {
  return NarrowToWide(CodecName(CodecClass()));
}

TXmlInputSource::TXmlInputSource(TStream* stream, WideString publicId, WideString systemId,
                                 int32_t bufferSize, TUnicodeCodecClass codecClass,
                                 bool keepInitialPosition, int64_t initialByte, int64_t initialChar,
                                 int64_t initialColumn, int64_t initialTabs, int64_t initialLine)
    : TXmlSimpleInputSource(stream, std::move(publicId), std::move(systemId), bufferSize,
                            codecClass, initialByte, initialChar, initialColumn, initialTabs,
                            initialLine) {
  bool declared = false;
  try {
    if (MatchText(u"<?xml")) {
      declared = true;
      FDeclKind = dkXmlOrTextDecl;
      FBadDeclaration = !ReadDeclaration();
    }
  } catch (const Exception&) {
    FBadDeclaration = true;
  }
  if (!declared || FBadDeclaration) {
    // The document is read from its first character; a malformed declaration is the
    // parser's to report.
    Reset();
    return;
  }
  // The text starts after the closing ">", which is never decoded past: the bytes after it
  // may be in the declared encoding only.
  const CharPosition closing = Lookahead();
  SetStartOffset(StartOffset() + closing.EndByte - Initial().EndByte);
  if (!FDeclaredEncoding.empty()) {
    SwitchToDeclaredEncoding();
  }
  if (!keepInitialPosition) {
    SetInitial(closing);
  }
  Reset();
}

bool TXmlInputSource::ReadDeclaration() {
  bool spaced = SkipAny(kDeclarationSpace) > 0;
  if (Current().Code == 'v') {
    if (!spaced || !MatchText(u"ersion") || !ReadEquals() ||
        !ReadQuotedValue(FDeclaredVersion, isVersionNumChar, isVersionNumChar)) {
      return false;
    }
    spaced = SkipAny(kDeclarationSpace) > 0;
  } else {
    FDeclKind = dkTextDecl;
  }
  if (Current().Code == 'e') {
    if (!spaced || !MatchText(u"ncoding") || !ReadEquals() ||
        !ReadQuotedValue(FDeclaredEncoding, isAsciiLetter, isEncNameChar)) {
      return false;
    }
    spaced = SkipAny(kDeclarationSpace) > 0;
  } else if (FDeclKind == dkTextDecl) {
    return false;
  } else {
    FDeclKind = dkXmlDecl;
  }
  if (Current().Code == 's') {
    if (!spaced || !MatchText(u"tandalone") || !ReadEquals() || !ReadStandalone()) {
      return false;
    }
    SkipAny(kDeclarationSpace);
    if (FDeclKind == dkTextDecl) {
      return false;
    }
    FDeclKind = dkXmlDecl;
  }
  return Current().Code == '?' && Lookahead().Code == '>';
}

bool TXmlInputSource::ReadEquals() {
  SkipAny(kDeclarationSpace);
  if (Current().Code != '=') {
    return false;
  }
  SkipAny(kDeclarationSpace);
  return IsQuote(Current().Code);
}

bool TXmlInputSource::ReadQuotedValue(WideString& value, bool (*isFirst)(int32_t),
                                      bool (*isNext)(int32_t)) {
  const int32_t quote = Current().Code;
  WideString collected;
  for (Next(); Current().Code != quote; Next()) {
    const int32_t c = Current().Code;
    if (!(collected.empty() ? isFirst(c) : isNext(c))) {
      return false;
    }
    collected += static_cast<char16_t>(c);
  }
  if (collected.empty()) {
    return false;
  }
  value = std::move(collected);
  return true;
}

bool TXmlInputSource::ReadStandalone() {
  const int32_t quote = Current().Code;
  Next();
  if (Current().Code == 'n' && MatchText(u"o")) {
    FDeclaredStandalone = sdNo;
  } else if (Current().Code == 'y' && MatchText(u"es")) {
    FDeclaredStandalone = sdYes;
  } else {
    return false;
  }
  Next();
  return Current().Code == quote;
}

void TXmlInputSource::SwitchToDeclaredEncoding() {
  // The name holds only the ASCII characters of EncName.
  const NarrowString name = WideToNarrow(FDeclaredEncoding);
  TUnicodeCodecClass found = nullptr;
  try {
    found = FindCodecClass(name);
  } catch (const Exception&) {
    found = nullptr;
  }
  const TUnicodeCodecClass mark = BomCodecClass();
  const TUnicodeCodecClass utf16be = TUTF16BECodec::ClassRef();
  const TUnicodeCodecClass utf16le = TUTF16LECodec::ClassRef();
  const char* const kMismatch = "Declared encoding does not match byte order mark.";
  if (found) {
    if ((mark == utf16be && found != utf16be && found != TUCS2Codec::ClassRef()) ||
        (mark == utf16le && found != utf16le) ||
        (mark == TUTF8Codec::ClassRef() && found != mark)) {
      throw EConvertError(kMismatch);
    }
    SetCodecClass(found);
    return;
  }
  if (!SameAsciiText(name, "UTF-16")) {
    throw ENot_Supported_Err(dom_messages::kEncodingNotSupported);
  }
  if (!mark) {
    SetCodecClass(utf16be);
  } else if (mark != utf16be && mark != utf16le) {
    throw EConvertError(kMismatch);
  }
}

} // namespace velmora
