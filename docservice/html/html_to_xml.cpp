#include "docservice/html/html_to_xml.h"

namespace velmora {

namespace {

bool IsValidUtf8(std::string_view text) {
  constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
  for (size_t pos = 0; pos < text.size();) {
    const size_t start = pos;
    if (static_cast<unsigned char>(text[pos]) < 0x80) {
      ++pos;
      continue;
    }
    if (DecodeUtf8(text, pos) == kReplacementCharacter &&
        text.substr(start, pos - start) != kReplacement) {
      return false;
    }
  }
  return true;
}

} // namespace

void ConfigureForXmlLoading(TTidy& tidy) {
  tidy.SetForceOutput(true);
  tidy.SetMark(false);
  tidy.SetAddXmlDecl(true);
  tidy.SetXmlPIs(true);
  tidy.SetQuoteNbsp(false);
  tidy.SetNumEntities(true);
  tidy.SetWrapLen(0);
  tidy.SetCharEncoding(TidyUTF8);
  tidy.SetOutCharEncoding(TidyLatin1);
  tidy.SetLibraryOption("doctype", "omit");
  tidy.SetOutputMode(omXML);
}

NarrowString CleanHtmlToXml(TTidy& tidy, std::string_view html) {
  tidy.SetInCharEncoding(IsValidUtf8(html) ? TidyUTF8 : TidyWin1252);
  return tidy.CleanText(html);
}

} // namespace velmora

namespace velmora {

THtmlToXml::THtmlToXml() : FTidy(new TTidy) { ConfigureForXmlLoading(*FTidy); }

THtmlToXml::~THtmlToXml() = default;

bool THtmlToXml::Available() { return true; }

NarrowString THtmlToXml::Clean(std::string_view html) { return CleanHtmlToXml(*FTidy, html); }

NarrowString THtmlToXml::Messages() const { return FTidy->LibraryMessages(); }

} // namespace velmora
