#include "xml/doc_reader.h"

#include <new>
#include <unordered_set>

#include "dom/xml_rules.h"
#include "xml/doctype_decl_tokenizer.h"
#include "xml/input_sources.h"

namespace velmora {

namespace {

// Up to this many attributes a tag's names are compared one by one; beyond, hashed.
constexpr size_t kLinearAttributeCheck = 8;

bool IsTagSpace(char16_t c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

size_t SkipTagSpace(std::u16string_view text, size_t i) {
  while (i < text.size() && IsTagSpace(text[i])) {
    ++i;
  }
  return i;
}

// The value of a character reference's digits, saturated above U+10FFFF; -1 when there
// are no digits or one is not a digit of the base.
int64_t CharRefNumber(std::u16string_view digits, bool hex) {
  if (digits.empty()) {
    return -1;
  }
  constexpr int64_t kSaturated = 0x110000;
  int64_t value = 0;
  for (char16_t c : digits) {
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return -1;
    }
    value = value * (hex ? 16 : 10) + digit;
    if (value > kSaturated) {
      value = kSaturated;
    }
  }
  return value;
}

} // namespace

void TXmlStandardDocReader::ParseTokens(TXmlDocTokenizer& tokenizer) {
  while (tokenizer.TokenType() != ttEndOfDocument) {
    tokenizer.NextToken();
    if (tokenizer.ErrorType() != ekNone) {
      SendError({tokenizer.ErrorType(), &tokenizer, tokenizer.Clue(), tokenizer.TokenText()});
    }
    const std::u16string_view value = tokenizer.TokenText();
    switch (tokenizer.TokenType()) {
    case ttCDataSection:
      SendCData(&tokenizer, value);
      break;
    case ttDecimalCharRef:
      SendDecimalCharRef(&tokenizer, value);
      break;
    case ttHexCharRef:
      SendHexCharRef(&tokenizer, value);
      break;
    case ttComment:
      SendComment(&tokenizer, value);
      break;
    case ttDoctypeDecl:
      ProcessDoctypeDecl(tokenizer, value);
      break;
    case ttEmptyElementTag:
      ProcessEmptyElementTag(&tokenizer, value);
      break;
    case ttEndTag:
      SendEndElement(&tokenizer, value);
      break;
    case ttEntityRef:
      SendEntityRef(&tokenizer, value);
      break;
    case ttPCData:
      SendPCData(&tokenizer, value);
      break;
    case ttProcessingInstruction:
      SendPI(&tokenizer, value);
      break;
    case ttStartTag: {
      std::u16string_view tagName;
      ProcessStartTag(&tokenizer, value, tagName);
      break;
    }
    case ttEndOfDocument:
    case ttNone:
      break;
    }
  }
}

void TXmlStandardDocReader::SendAborted(const TextLocation* location) {
  TXmlAbortedSignal signal(this, location);
  Send(signal);
}

void TXmlStandardDocReader::SendAttribute(const TextLocation* location, std::u16string_view name,
                                          std::u16string_view value) {
  TXmlAttributeSignal signal(this, location);
  signal.AttrName = name;
  signal.AttrValue = value;
  Send(signal);
}

void TXmlStandardDocReader::SendCData(const TextLocation* location, std::u16string_view text) {
  TXmlCDATASignal signal(this, location);
  signal.Text = text;
  Send(signal);
}

void TXmlStandardDocReader::SendDecimalCharRef(const TextLocation* location,
                                               std::u16string_view digits) {
  SendCharRef(location, digits, false);
}

void TXmlStandardDocReader::SendHexCharRef(const TextLocation* location,
                                           std::u16string_view digits) {
  SendCharRef(location, digits, true);
}

void TXmlStandardDocReader::SendCharRef(const TextLocation* location, std::u16string_view digits,
                                        bool hex) {
  const int64_t value = CharRefNumber(digits, hex);
  if (value < 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    WideString written = hex ? u"&#x" : u"&#";
    written += digits;
    written += u';';
    SendError({ekInvalidCharRef, location, {}, written});
    return;
  }
  char16_t units[2];
  size_t count = 1;
  if (value < 0x10000) {
    units[0] = static_cast<char16_t>(value);
  } else {
    const int64_t offset = value - 0x10000;
    units[0] = static_cast<char16_t>(0xD800 + (offset >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + (offset & 0x3FF));
    count = 2;
  }
  TXmlPCDATASignal signal(this, location);
  signal.IsCharRef = true;
  signal.Text = std::u16string_view(units, count);
  Send(signal);
}

void TXmlStandardDocReader::SendComment(const TextLocation* location, std::u16string_view text) {
  TXmlCommentSignal signal(this, location);
  signal.Text = text;
  Send(signal);
}

void TXmlStandardDocReader::SendPCData(const TextLocation* location, std::u16string_view text) {
  TXmlPCDATASignal signal(this, location);
  signal.Text = text;
  Send(signal);
}

void TXmlStandardDocReader::SendPI(const TextLocation* location, std::u16string_view text) {
  size_t targetEnd = 0;
  while (targetEnd < text.size() && !IsTagSpace(text[targetEnd])) {
    ++targetEnd;
  }
  TXmlProcessingInstructionSignal signal(this, location);
  signal.PITarget = text.substr(0, targetEnd);
  signal.PIData = text.substr(SkipTagSpace(text, targetEnd));
  Send(signal);
}

void TXmlStandardDocReader::SendStartDocument(const TextLocation* location,
                                              std::u16string_view actualEncoding,
                                              uint8_t standalone,
                                              std::u16string_view declaredEncoding,
                                              std::u16string_view version) {
  TXmlStartDocumentSignal signal(this, location);
  signal.ActualEncoding = actualEncoding;
  signal.DeclaredStandalone = standalone;
  signal.DeclaredEncoding = declaredEncoding;
  signal.DeclaredVersion = version;
  Send(signal);
}

void TXmlStandardDocReader::SendStartFragment(const TextLocation* location,
                                              std::u16string_view actualEncoding) {
  TXmlStartDocumentFragmentSignal signal(this, location);
  signal.ActualEncoding = actualEncoding;
  Send(signal);
}

void TXmlStandardDocReader::SendStartElement(const TextLocation* location,
                                             std::u16string_view tagName) {
  TXmlStartElementSignal signal(this, location);
  signal.TagName = tagName;
  Send(signal);
}

struct TXmlStandardDocReader::THashedNames {
  std::unordered_set<std::u16string_view> Names;
};

TXmlStandardDocReader::TXmlStandardDocReader(TComponent* owner) : TXmlCustomReader(owner) {}

TXmlStandardDocReader::~TXmlStandardDocReader() = default;

// A fresh set of the tag's names so far; one that grew large for an earlier tag is
// replaced, so that clearing it never costs more than the tag it serves.
void TXmlStandardDocReader::StartHashedNames() {
  constexpr size_t kLargeSet = 1024;
  if (!FHashedNames || FHashedNames->Names.bucket_count() > kLargeSet) {
    FHashedNames = std::make_unique<THashedNames>();
  } else {
    FHashedNames->Names.clear();
  }
  FHashedNames->Names.insert(FAttributeNames.begin(), FAttributeNames.end());
}

bool TXmlStandardDocReader::IsNewAttributeName(std::u16string_view name) {
  for (std::u16string_view seen : FAttributeNames) {
    if (seen == name) {
      return false;
    }
  }
  FAttributeNames.push_back(name);
  return true;
}

// The text is scanned by its length: a U+0000 in it is a character like any other, and
// the tests of the names and values refuse it.
void TXmlStandardDocReader::ProcessStartTag(const TextLocation* location,
                                            std::u16string_view text,
                                            std::u16string_view& tagName) {
  size_t i = 0;
  while (i < text.size() && !IsTagSpace(text[i])) {
    ++i;
  }
  tagName = text.substr(0, i);
  SendStartElement(location, tagName);
  i = SkipTagSpace(text, i);
  FAttributeNames.clear();
  bool hashed = false;
  while (i < text.size()) {
    const size_t nameStart = i;
    while (i < text.size() && !IsTagSpace(text[i]) && text[i] != '=') {
      ++i;
    }
    const std::u16string_view name = text.substr(nameStart, i - nameStart);
    i = SkipTagSpace(text, i);
    if (i >= text.size() || text[i] != '=') {
      SendError({ekMissingEqualsSign, location, u"=", {}});
      return;
    }
    i = SkipTagSpace(text, i + 1);
    if (i >= text.size() || (text[i] != '"' && text[i] != '\'')) {
      SendError({ekMissingQuote, location, u"\"", {}});
      return;
    }
    const char16_t quote = text[i];
    const size_t valueEnd = text.find(quote, i + 1);
    if (valueEnd == std::u16string_view::npos) {
      SendError({ekMissingQuote, location, std::u16string_view(&text[i], 1), {}});
      return;
    }
    bool isNew;
    if (FAttributeNames.size() < kLinearAttributeCheck) {
      isNew = IsNewAttributeName(name);
    } else {
      if (!hashed) {
        StartHashedNames();
        hashed = true;
      }
      isNew = FHashedNames->Names.insert(name).second;
    }
    if (!isNew) {
      SendError({ekDuplicateAttribute, location, {}, name});
      return;
    }
    SendAttribute(location, name, text.substr(i + 1, valueEnd - i - 1));
    i = valueEnd + 1;
    if (i < text.size() && !IsTagSpace(text[i])) {
      SendError({ekMissingWhitespace, location, u" ", {}});
      return;
    }
    i = SkipTagSpace(text, i);
  }
}

void TXmlStandardDocReader::SendEndElement(const TextLocation* location,
                                           std::u16string_view tagName) {
  TXmlEndElementSignal signal(this, location);
  signal.TagName = tagName;
  Send(signal);
}

void TXmlStandardDocReader::ProcessEmptyElementTag(const TextLocation* location,
                                                   std::u16string_view text) {
  std::u16string_view tagName;
  ProcessStartTag(location, text, tagName);
  SendEndElement(location, tagName);
}

void TXmlStandardDocReader::SendEntityRef(const TextLocation* location,
                                          std::u16string_view name) {
  TXmlEntityRefSignal signal(this, location);
  signal.RefName = name;
  Send(signal);
}

void TXmlStandardDocReader::ProcessDoctypeDecl(const TXmlDocTokenizer& token,
                                               std::u16string_view text) {
  TXmlDoctypeDeclTokenizer tokenizer(text, token.DoctypeTextOrigin(), token.SourceUri());
  WideString name;
  WideString publicId;
  WideString systemId;
  WideString subset;
  TLocationValues subsetStart;
  for (tokenizer.NextToken(); tokenizer.TokenType() != dttEnd; tokenizer.NextToken()) {
    if (tokenizer.ErrorType() != ekNone) {
      SendError({tokenizer.ErrorType(), &tokenizer, tokenizer.Clue(), tokenizer.TokenText()});
      return;
    }
    switch (tokenizer.TokenType()) {
    case dttName:
      name = tokenizer.TokenText();
      break;
    case dttPublicLiteral:
      publicId = tokenizer.TokenText();
      break;
    case dttSystemLiteral:
      systemId = tokenizer.TokenText();
      break;
    case dttInternalSubset:
      subset = tokenizer.TokenText();
      subsetStart = tokenizer.Values();
      break;
    default:
      break;
    }
  }
  TXmlDoctypeSignal signal(this, &token);
  signal.DeclName = name;
  signal.PublicId = publicId;
  signal.SystemId = systemId;
  signal.InternalSubset = subset;
  if (subsetStart.StartChar >= 0) {
    // Where the subset's first character begins: the position of the "[" before it.
    signal.SubsetByte = subsetStart.StartByte;
    signal.SubsetChar = subsetStart.StartChar - 1;
    signal.SubsetColumn = subsetStart.StartColumn - 1;
    signal.SubsetLine = subsetStart.StartLine - (signal.SubsetColumn == -1 ? 1 : 0);
  }
  Send(signal);
}

void TXmlStandardDocReader::SendCompleted(const TextLocation* location) {
  TXmlCompletedSignal signal(this, location);
  Send(signal);
}

template <class TStart>
bool TXmlStandardDocReader::Parse(TXmlSimpleInputSource* inputSource, TStart sendStart) {
  TXmlDocTokenizer tokenizer(inputSource);
  try {
    sendStart(tokenizer);
    ParseTokens(tokenizer);
    SendCompleted(&tokenizer);
    return true;
  } catch (const std::bad_alloc&) {
    // Memory that ran out is no fault of the document: the caller reports it.
    SendAborted(&tokenizer);
    throw;
  } catch (const std::exception&) {
    SendAborted(&tokenizer);
    return false;
  }
}

bool TXmlStandardDocReader::ParseDocument(TXmlInputSource* inputSource) {
  if (!inputSource) {
    throw EAccessViolation("Input source not specified.");
  }
  const WideString actualEncoding = inputSource->EncodingName();
  return Parse(inputSource, [&](TXmlDocTokenizer& tokenizer) {
    SendStartDocument(&tokenizer, actualEncoding, inputSource->DeclaredStandalone(),
                      inputSource->DeclaredEncoding(), inputSource->DeclaredVersion());
  });
}

bool TXmlStandardDocReader::ParseFragment(TXmlSimpleInputSource* inputSource) {
  if (!inputSource) {
    return true;
  }
  const WideString actualEncoding = inputSource->EncodingName();
  return Parse(inputSource, [&](TXmlDocTokenizer& tokenizer) {
    SendStartFragment(&tokenizer, actualEncoding);
  });
}

} // namespace velmora
