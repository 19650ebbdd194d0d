#pragma once
// URI references after RFC 2396: one predicate per production (for wide and for 8-bit
// strings, with the same rules), an analyzer that splits a reference into its five parts,
// resolution of a reference against a base, and conversion between file names and file URIs.

#include <cstdint>

#include "runtime/strings.h"

namespace velmora {

#define VELMORA_URI_PREDICATE(name)                                                                \
  bool name(std::u16string_view s);                                                                \
  bool name(std::string_view s)

VELMORA_URI_PREDICATE(isUriReference); // [ absoluteURI | relativeURI ] [ "#" fragment ]
VELMORA_URI_PREDICATE(isAbsoluteUri);  // scheme ":" ( hier_part | opaque_part )
VELMORA_URI_PREDICATE(isRelativeUri);  // ( net_path | abs_path | rel_path ) [ "?" query ]
VELMORA_URI_PREDICATE(isHierPart);     // ( net_path | abs_path ) [ "?" query ]
VELMORA_URI_PREDICATE(isOpaquePart);   // uric_no_slash *uric
VELMORA_URI_PREDICATE(isNetPath);      // "//" authority [ abs_path ]
VELMORA_URI_PREDICATE(isAbsPath);      // "/" path_segments
VELMORA_URI_PREDICATE(isRelPath);      // rel_segment [ abs_path ]
VELMORA_URI_PREDICATE(isRelSegment);
VELMORA_URI_PREDICATE(isUriPath); // [ abs_path | opaque_part ]
VELMORA_URI_PREDICATE(isPathSegments);
VELMORA_URI_PREDICATE(isUriScheme);
VELMORA_URI_PREDICATE(isUriAuthority); // server | reg_name
VELMORA_URI_PREDICATE(isRegName);
VELMORA_URI_PREDICATE(isUriServer); // [ [ userinfo "@" ] hostport ]
VELMORA_URI_PREDICATE(isUserinfo);
VELMORA_URI_PREDICATE(isHostport);
VELMORA_URI_PREDICATE(isUriHost);
VELMORA_URI_PREDICATE(isHostname);
VELMORA_URI_PREDICATE(isDomainlabel);
VELMORA_URI_PREDICATE(isToplabel);
VELMORA_URI_PREDICATE(isIPv4address); // four groups of digits, values not limited
VELMORA_URI_PREDICATE(isUriPort);
VELMORA_URI_PREDICATE(isUriQuery);
VELMORA_URI_PREDICATE(isUriFragment);
VELMORA_URI_PREDICATE(isUric);          // one character
VELMORA_URI_PREDICATE(isUriReserved);   // one character
VELMORA_URI_PREDICATE(isUriUnreserved); // one character
VELMORA_URI_PREDICATE(isUriEscaped);    // "%" hex hex

#undef VELMORA_URI_PREDICATE

// The five parts of a URI reference, each (but the path) with a presence flag.
template <class TString> class TUriAnalyzer {
public:
  using TView = std::basic_string_view<typename TString::value_type>;

  // Splits reference; false (and everything cleared) when a present part does not match
  // its production. A colon anywhere makes the text before it the scheme.
  bool parse(TView reference);
  TString compose() const;
  void clear();

  TString Scheme, Authority, Path, Query, Fragment;
  bool HasScheme = false, HasAuthority = false, HasQuery = false, HasFragment = false;
};

using TUriWideAnalyzer = TUriAnalyzer<WideString>;
using TUriStrAnalyzer = TUriAnalyzer<NarrowString>;

// Resolves reference against base (RFC 2396, section 5.2); false and an empty result when
// either does not parse, neither has a scheme, or ".." climbs above the root.
bool resolveUri(std::u16string_view base, std::u16string_view reference, WideString& result);
bool resolveUri(std::string_view base, std::string_view reference, NarrowString& result);

// Flags of fileNameToUri.
constexpr uint32_t kUriWithLocalhost = 1; // "file://localhost" instead of "file://"
constexpr uint32_t kUriKeepColon = 2;     // ":" unchanged instead of "%3a"

// A file URI for a file name: "D:\dir\a b.xml" gives file:///D%3a/dir/a%20b.xml and
// "/home/a b/x.xml" gives file:///home/a%20b/x.xml.
NarrowString fileNameToUri(std::string_view fileName, uint32_t flags = 0);

// The file name of a "file" URI (any letter case); a path with a drive letter gives a
// Windows name with "\", any other path keeps its "/". query and fragment come back with
// their "?" and "#". False for anything else, and for an escaped NUL ("%00").
bool uriToFileName(std::string_view uri, NarrowString& fileName, NarrowString& authority,
                   NarrowString& query, NarrowString& fragment);

} // namespace velmora
