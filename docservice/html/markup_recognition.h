#pragma once
// What the text before the library looks like: its byte-order mark, its markup language
// (XML, XHTML or HTML) and how deeply its elements nest.

#include <cstdint>
#include <string_view>

namespace velmora {

enum TByteOrderMark : uint8_t { bomNone, bomUtf8, bomUtf16 };

// EF BB BF, or FE FF / FF FE, at the start of text.
TByteOrderMark ByteOrderMarkOf(std::string_view text);

enum TMarkupKind : uint8_t { mkUnknown, mkXml, mkXhtml, mkHtml };

// "XML", "XHTML", "HTML" (empty for mkUnknown).
std::string_view MarkupKindName(TMarkupKind kind);

// The markup language that the declarations and first tags of text suggest: an XML
// declaration, a document type declaration naming (X)HTML, the html tag, an xml tag, or
// the way an empty element such as br is written.
TMarkupKind RecognizeMarkup(std::string_view text);

// How deeply the elements of text nest: start tags of elements that need an end tag open
// a level, an end tag closes its element and those opened inside it. Counting stops above
// limit.
size_t NestingDepth(std::string_view text, size_t limit);

} // namespace velmora
