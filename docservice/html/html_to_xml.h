#pragma once
// The document service's way from HTML to the XML it parses: one cleaner configured once,
// and one call per text. A build without HTML Tidy (the Windows build: the library has no
// mingw-w64 build to link) has a cleaner that refuses every page.

#include <string_view>

#include "docservice/html/tidy.h"
#include "runtime/strings.h"

namespace velmora {

// The settings under which the document service cleans HTML: XML output with an XML
// declaration in ISO-8859-1, characters beyond it as numeric references (an XML parser
// without a DTD knows no named ones), no document type declaration (the copy into an
// XPath document stops at one), no wrapping, no generator mark, output even for pages
// with errors.
void ConfigureForXmlLoading(TTidy& tidy);

// html cleaned into XML by a wrapper configured so. The text is read as UTF-8 when it is
// valid UTF-8 and as Windows-1252 otherwise.
NarrowString CleanHtmlToXml(TTidy& tidy, std::string_view html);

constexpr const char* kHtmlCleanupUnavailable = "HTML cleanup is not part of this build.";

class THtmlToXml {
public:
  THtmlToXml();
  ~THtmlToXml();
  THtmlToXml(const THtmlToXml&) = delete;
  THtmlToXml& operator=(const THtmlToXml&) = delete;

  // Whether this build cleans HTML at all.
  static bool Available();
  // html cleaned as CleanHtmlToXml does; empty when the library gave up, and Messages()
  // says why. Without the library: ETidyError kHtmlCleanupUnavailable.
  NarrowString Clean(std::string_view html);
  // The library's messages of the last cleaning.
  NarrowString Messages() const;

private:
  TOwned<TTidy> FTidy;
};

} // namespace velmora
