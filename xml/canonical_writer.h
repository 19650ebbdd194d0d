#pragma once
// The canonical form of a document (James Clark's, as the XML conformance suite's output
// files hold it): UTF-8, no declaration and no comments, attributes sorted by name, the
// characters &, <, >, " and TAB, LF, CR written as references, empty elements with an end
// tag, and nothing outside the root element but processing instructions.

#include "runtime/strings.h"

namespace velmora {

class TDomCustomDocument;

NarrowString CanonicalForm(TDomCustomDocument* document);

} // namespace velmora
