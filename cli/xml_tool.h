#pragma once
// velmora-xml: the XML stack on the command line, in the style of familiar XML linters.
//
//   velmora-xml check [--external] FILE...
//                               parse each file; print its error records, exit 1 when one
//                               is not well-formed
//   velmora-xml validate FILE...
//                               parse each file with its external subset and entities and
//                               validate it against its DTD; exit 1 when one is invalid
//   velmora-xml canon FILE      print the document in canonical form
//   velmora-xml html FILE       clean the HTML page in FILE into the XML that the document
//                               service parses, and print it; with --xpath EXPR... load it
//                               as the service loads HTML and evaluate as xpath does
//   velmora-xml xpath FILE EXPR...
//                               evaluate each expression against the document, loaded as
//                               the converter loads it (cli/xpath_query.h gives the output)
//
// Exit codes: 0 success, 1 a file failed, 2 bad usage.

#include <iosfwd>
#include <vector>

#include "runtime/strings.h"

namespace velmora {

int RunXmlTool(const std::vector<NarrowString>& arguments, std::ostream& out, std::ostream& err);

// What the commands do with one file, each line of a record written to out. Whether the
// file is well-formed (readExternal: the external subset and entities read too), and
// whether it is valid.
bool CheckFile(const NarrowString& fileName, bool readExternal, std::ostream& out);
bool ValidateFile(const NarrowString& fileName, std::ostream& out);

// The canonical form of the document in fileName, as "canon" prints it; false (with the
// reason in error) when the file cannot be read or parsed.
bool CanonicalFormOfFile(const NarrowString& fileName, NarrowString& form, NarrowString& error);

} // namespace velmora
