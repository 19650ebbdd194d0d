#include "xml/signals.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dom/dom_types.h"
#include "dom/uri_rules.h"
#include "dom/xml_rules.h"
#include "runtime/exceptions.h"
#include "xml/parse_errors.h"

namespace velmora {

namespace {

const WideString kNoUri;

bool IsXmlChars(std::u16string_view text) {
  return FindCharDataFault(text, true) == std::u16string_view::npos;
}

// A reference whose number names an XML character.
bool ResolvesAsCharRef(std::u16string_view reference) {
  try {
    charRefValue(reference);
    return true;
  } catch (const EConvertError&) {
    return false;
  }
}

} // namespace

namespace {

// Skips blocks of eight units that need no closer look: units from U+0020 to U+D7FF but
// ">" (which may end "]]>"), and TAB, LF and CR.
const char16_t* SkipPlainUnits(const char16_t* p, const char16_t* end) {
#if defined(__SSE2__)
  // Unsigned ranges through a signed compare: flip the top bit first.
  const __m128i flip = _mm_set1_epi16(static_cast<short>(0x8000));
  const __m128i low = _mm_set1_epi16(static_cast<short>(0x20 ^ 0x8000) - 1);
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xD800 ^ 0x8000));
  const __m128i greater = _mm_set1_epi16('>');
  const __m128i tab = _mm_set1_epi16(0x09);
  const __m128i lineFeed = _mm_set1_epi16(0x0A);
  const __m128i carriageReturn = _mm_set1_epi16(0x0D);
  while (end - p >= 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i flipped = _mm_xor_si128(units, flip);
    __m128i good = _mm_and_si128(_mm_cmpgt_epi16(flipped, low), _mm_cmplt_epi16(flipped, high));
    good = _mm_andnot_si128(_mm_cmpeq_epi16(units, greater), good);
    good = _mm_or_si128(good, _mm_cmpeq_epi16(units, tab));
    good = _mm_or_si128(good, _mm_cmpeq_epi16(units, lineFeed));
    good = _mm_or_si128(good, _mm_cmpeq_epi16(units, carriageReturn));
    if (_mm_movemask_epi8(good) != 0xFFFF) {
      return p;
    }
    p += 8;
  }
#else
  (void)end;
#endif
  return p;
}

} // namespace

size_t FindCharDataFault(std::u16string_view text, bool allowCDataEnd) {
  const char16_t* const begin = text.data();
  const char16_t* const end = begin + text.size();
  for (const char16_t* p = SkipPlainUnits(begin, end); p < end; ++p) {
    const char16_t c = *p;
    if (c >= 0x20 && c < 0xD800) {
      if (c == '>' && !allowCDataEnd && p - begin >= 2 && p[-1] == ']' && p[-2] == ']') {
        return static_cast<size_t>(p - 2 - begin);
      }
      continue;
    }
    if (c == 0x09 || c == 0x0A || c == 0x0D || (c >= 0xE000 && c <= 0xFFFD)) {
      continue;
    }
    if (c >= 0xD800 && c <= 0xDBFF && p + 1 < end && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
      ++p;
      continue;
    }
    return static_cast<size_t>(p - begin);
  }
  return std::u16string_view::npos;
}

// What a clone owns: its location's answers and URI, and its texts.
class TXmlSignal::TKept final : public TValueLocation {
public:
  explicit TKept(const TextLocation* location)
      : TValueLocation(ValuesOf(location)),
        FSourceUri(location ? location->SourceUri() : WideString()) {}
  const WideString& SourceUri() const override { return FSourceUri; }

  std::u16string_view Keep(std::u16string_view text) {
    return *FTexts.emplace_back(std::make_unique<WideString>(text));
  }

private:
  WideString FSourceUri;
  std::vector<std::unique_ptr<WideString>> FTexts;
};

TXmlSignal::TXmlSignal(const TXmlSignal& source, TXmlCustomReader* origin)
    : FKind(source.FKind), FOrigin(origin), FLocation(nullptr),
      FDomNode(source.DomNode()), FDtdObject(source.DtdObject()),
      FKept(new TKept(source.FLocation)) {
  FLocation = FKept;
}

void TXmlSignal::FreeKept() {
  delete FKept;
  FKept = nullptr;
}

TDtdObject* TXmlSignal::DtdObject() const {
  return FDtdObject ? FDtdObject : FLocation ? FLocation->DtdObject() : nullptr;
}

TDomNode* TXmlSignal::DomNode() const {
  return FDomNode ? FDomNode : FLocation ? FLocation->DomNode() : nullptr;
}

const WideString& TXmlSignal::SourceUri() const {
  return FLocation ? FLocation->SourceUri() : kNoUri;
}

TLocationValues TXmlSignal::Values() const {
  TLocationValues values = FLocation ? FLocation->Values() : TLocationValues();
  values.DomNode = DomNode();
  values.DtdObject = DtdObject();
  return values;
}

void TXmlSignal::TestWellformedness(TSignalFault&) const {}

std::u16string_view TXmlSignal::Keep(std::u16string_view text) {
  if (!FKept) {
    FKept = new TKept(nullptr);
  }
  return FKept->Keep(text);
}

// Start of a document or fragment.

void TXmlStartDocumentSignal::TestWellformedness(TSignalFault& fault) const {
  if (!DeclaredEncoding.empty() && !conformsToEncName(DeclaredEncoding)) {
    fault.Set(ekInvalidEncodingName);
  } else if (!DeclaredVersion.empty() && !conformsToVersionNum(DeclaredVersion)) {
    fault.Set(ekInvalidVersion);
  }
}

std::unique_ptr<TXmlSignal> TXmlStartDocumentSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlStartDocumentSignal>(*this, origin);
  clone->DeclaredEncoding = clone->Keep(DeclaredEncoding);
  clone->ActualEncoding = clone->Keep(ActualEncoding);
  clone->DeclaredStandalone = DeclaredStandalone;
  clone->DeclaredVersion = clone->Keep(DeclaredVersion);
  return clone;
}

void TXmlStartDocumentFragmentSignal::TestWellformedness(TSignalFault& fault) const {
  if (!ActualEncoding.empty() && !conformsToEncName(ActualEncoding)) {
    fault.Set(ekInvalidEncodingName, ActualEncoding);
  }
}

std::unique_ptr<TXmlSignal>
TXmlStartDocumentFragmentSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlStartDocumentFragmentSignal>(*this, origin);
  clone->ActualEncoding = clone->Keep(ActualEncoding);
  return clone;
}

// Elements and attributes.

void TXmlStartElementSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(TagName)) {
    fault.Set(ekInvalidElementName, TagName);
  }
}

std::unique_ptr<TXmlSignal> TXmlStartElementSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlStartElementSignal>(*this, origin);
  clone->TagName = clone->Keep(TagName);
  return clone;
}

void TXmlEndElementSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(TagName)) {
    fault.Set(ekInvalidElementName, TagName);
  }
}

std::unique_ptr<TXmlSignal> TXmlEndElementSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlEndElementSignal>(*this, origin);
  clone->TagName = clone->Keep(TagName);
  return clone;
}

// The value as written between its quotes: no "<", only XML characters, and references
// that are complete, with names or valid character numbers.
void TestAttValueText(std::u16string_view value, TSignalFault& fault) {
  size_t i = 0;
  while (i < value.size()) {
    const char16_t c = value[i];
    if (c == '&') {
      const size_t end = value.find(u';', i + 1);
      if (end == std::u16string_view::npos) {
        const bool charRef = i + 1 < value.size() && value[i + 1] == '#';
        fault.Set(charRef ? ekCharRefWithoutSemicolon : ekEntityRefWithoutSemicolon, value);
        return;
      }
      const std::u16string_view reference = value.substr(i, end + 1 - i);
      const std::u16string_view name = value.substr(i + 1, end - i - 1);
      if (!name.empty() && name[0] == '#') {
        if (!ResolvesAsCharRef(reference)) {
          fault.Set(ekInvalidCharRef, reference);
          return;
        }
      } else if (!conformsToName(name)) {
        fault.Set(ekInvalidEntityName, name);
        return;
      }
      i = end + 1;
      continue;
    }
    if (c == '<') {
      fault.Set(ekLessThanInAttributeValue, u"<");
      return;
    }
    if (!isXmlCharUnit(c)) {
      fault.Set(ekInvalidCharInAttributeValue, value.substr(i, 1));
      return;
    }
    ++i;
  }
}

void TXmlAttributeSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(AttrName)) {
    fault.Set(ekInvalidAttributeName, AttrName);
    return;
  }
  TestAttValueText(AttrValue, fault);
}

std::unique_ptr<TXmlSignal> TXmlAttributeSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlAttributeSignal>(*this, origin);
  clone->AttrType = AttrType;
  clone->AttrName = clone->Keep(AttrName);
  clone->AttrValue = clone->Keep(AttrValue);
  return clone;
}

// Text.

void TXmlPCDATASignal::TestWellformedness(TSignalFault& fault) const {
  if (FindCharDataFault(Text, false) != std::u16string_view::npos) {
    fault.Set(ekInvalidCharacter, Text);
  }
}

std::unique_ptr<TXmlSignal> TXmlPCDATASignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlPCDATASignal>(*this, origin);
  clone->IsCharRef = IsCharRef;
  clone->Text = clone->Keep(Text);
  return clone;
}

void TXmlCDATASignal::TestWellformedness(TSignalFault& fault) const {
  if (FindCharDataFault(Text, false) != std::u16string_view::npos) {
    fault.Set(ekInvalidCDataContent);
  }
}

std::unique_ptr<TXmlSignal> TXmlCDATASignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlCDATASignal>(*this, origin);
  clone->Text = clone->Keep(Text);
  return clone;
}

void TXmlCommentSignal::TestWellformedness(TSignalFault& fault) const {
  if (Text.empty()) {
    return;
  }
  if (Text.find(u"--") != std::u16string_view::npos) {
    fault.Set(ekDoubleHyphenInComment, u"--", u"-");
  } else if (Text.back() == '-') {
    fault.Set(ekCommentEndsWithHyphen, u"-");
  } else if (!IsXmlChars(Text)) {
    fault.Set(ekInvalidCharacter, Text);
  }
}

std::unique_ptr<TXmlSignal> TXmlCommentSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlCommentSignal>(*this, origin);
  clone->Text = clone->Keep(Text);
  return clone;
}

void TXmlProcessingInstructionSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToPITarget(PITarget)) {
    fault.Set(ekInvalidPITarget, PITarget);
  } else if (PIData.find(u"?>") != std::u16string_view::npos) {
    fault.Set(ekInvalidPITarget, u"?>");
  } else if (!IsXmlChars(PIData)) {
    fault.Set(ekInvalidCharacter, PIData);
  }
}

std::unique_ptr<TXmlSignal>
TXmlProcessingInstructionSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlProcessingInstructionSignal>(*this, origin);
  clone->PIData = clone->Keep(PIData);
  clone->PITarget = clone->Keep(PITarget);
  return clone;
}

void TXmlEntityRefSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(RefName)) {
    fault.Set(ekInvalidEntityName, RefName);
  }
}

std::unique_ptr<TXmlSignal> TXmlEntityRefSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlEntityRefSignal>(*this, origin);
  clone->RefName = clone->Keep(RefName);
  return clone;
}

// The document type declaration.

void TXmlDoctypeSignal::TestWellformedness(TSignalFault& fault) const {
  if (!conformsToName(DeclName)) {
    fault.Set(ekInvalidDoctypeName, DeclName);
  } else if (!conformsToPubidChars(PublicId)) {
    fault.Set(ekInvalidPublicId, PublicId);
  } else if (!conformsToSystemLiteralChars(SystemId)) {
    fault.Set(ekInvalidSystemId, SystemId);
  }
}

std::unique_ptr<TXmlSignal> TXmlDoctypeSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlDoctypeSignal>(*this, origin);
  clone->InternalSubset = clone->Keep(InternalSubset);
  clone->DeclName = clone->Keep(DeclName);
  clone->SubsetByte = SubsetByte;
  clone->SubsetChar = SubsetChar;
  clone->SubsetColumn = SubsetColumn;
  clone->SubsetLine = SubsetLine;
  clone->PublicId = clone->Keep(PublicId);
  clone->SystemId = clone->Keep(SystemId);
  return clone;
}

// Prefix mappings.

void TXmlStartPrefixMappingSignal::TestWellformedness(TSignalFault& fault) const {
  if ((MappedPrefix == u"xmlns" && MappedUri != XmlnsNamespaceURI) ||
      (!MappedPrefix.empty() && !conformsToNCName(MappedPrefix))) {
    fault.Set(ekInvalidPrefix, MappedPrefix);
  } else if (!isUriReference(MappedUri)) {
    fault.Set(ekInvalidNamespaceUri, MappedUri);
  }
}

std::unique_ptr<TXmlSignal>
TXmlStartPrefixMappingSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlStartPrefixMappingSignal>(*this, origin);
  clone->MappedPrefix = clone->Keep(MappedPrefix);
  clone->MappedUri = clone->Keep(MappedUri);
  return clone;
}

void TXmlEndPrefixMappingSignal::TestWellformedness(TSignalFault& fault) const {
  if (!MappedPrefix.empty() && !conformsToNCName(MappedPrefix)) {
    fault.Set(ekInvalidPrefix, MappedPrefix);
  }
}

std::unique_ptr<TXmlSignal>
TXmlEndPrefixMappingSignal::CloneSignal(TXmlCustomReader* origin) const {
  auto clone = std::make_unique<TXmlEndPrefixMappingSignal>(*this, origin);
  clone->MappedPrefix = clone->Keep(MappedPrefix);
  return clone;
}

// The end of a parse.

std::unique_ptr<TXmlSignal> TXmlCompletedSignal::CloneSignal(TXmlCustomReader* origin) const {
  return std::make_unique<TXmlCompletedSignal>(*this, origin);
}

std::unique_ptr<TXmlSignal> TXmlAbortedSignal::CloneSignal(TXmlCustomReader* origin) const {
  return std::make_unique<TXmlAbortedSignal>(*this, origin);
}

} // namespace velmora
