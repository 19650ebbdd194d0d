// The cleaner of a build without HTML Tidy: it refuses every page.
#include "docservice/html/html_to_xml.h"

namespace velmora {

THtmlToXml::THtmlToXml() = default;

THtmlToXml::~THtmlToXml() = default;

bool THtmlToXml::Available() { return false; }

NarrowString THtmlToXml::Clean(std::string_view) { throw ETidyError(kHtmlCleanupUnavailable); }

NarrowString THtmlToXml::Messages() const { return {}; }

} // namespace velmora
