#include "dom/uri_rules.h"

#include <vector>

namespace velmora {

namespace {

template <class C> using TView = std::basic_string_view<C>;

bool IsAlpha(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}
bool IsAlphanum(int c) {
  return IsAlpha(c) || IsDigit(c);
}
bool IsHex(int c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
bool IsMark(int c) {
  return c == '-' || c == '_' || c == '.' || c == '!' || c == '~' || c == '*' || c == '\'' ||
         c == '(' || c == ')';
}
bool IsUnreservedChar(int c) {
  return IsAlphanum(c) || IsMark(c);
}
bool IsReservedChar(int c) {
  return c == ';' || c == '/' || c == '?' || c == ':' || c == '@' || c == '&' || c == '=' ||
         c == '+' || c == '$' || c == ',';
}
bool IsUricChar(int c) {
  return IsReservedChar(c) || IsUnreservedChar(c);
}
bool IsPcharExtra(int c) {
  return c == ':' || c == '@' || c == '&' || c == '=' || c == '+' || c == '$' || c == ',';
}

template <class C> int At(TView<C> s, size_t i) {
  return static_cast<int>(s[i]);
}

// Every position is unreserved, an escape "%HH", or a character the production adds.
template <class C> bool ScanEscaped(TView<C> s, bool (*extra)(int)) {
  for (size_t i = 0; i < s.size();) {
    const int c = At(s, i);
    if (c == '%') {
      if (i + 2 >= s.size() || !IsHex(At(s, i + 1)) || !IsHex(At(s, i + 2))) {
        return false;
      }
      i += 3;
    } else if (IsUnreservedChar(c) || extra(c)) {
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

bool UricExtra(int c) {
  return IsReservedChar(c);
}
bool SegmentExtra(int c) {
  return IsPcharExtra(c) || c == ';';
}
bool PathSegmentsExtra(int c) {
  return SegmentExtra(c) || c == '/';
}
bool RelSegmentExtra(int c) {
  return c == ';' || c == '@' || c == '&' || c == '=' || c == '+' || c == '$' || c == ',';
}
bool UserinfoExtra(int c) {
  return c == ';' || c == ':' || c == '&' || c == '=' || c == '+' || c == '$' || c == ',';
}
bool RegNameExtra(int c) {
  return UserinfoExtra(c) || c == '@';
}

template <class C> bool QueryT(TView<C> s) {
  return ScanEscaped(s, UricExtra);
}

template <class C> bool PortT(TView<C> s) {
  for (size_t i = 0; i < s.size(); ++i) {
    if (!IsDigit(At(s, i))) {
      return false;
    }
  }
  return true;
}

template <class C> bool IPv4T(TView<C> s) {
  int dots = 0;
  size_t digits = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const int c = At(s, i);
    if (c == '.') {
      if (digits == 0 || ++dots > 3) {
        return false;
      }
      digits = 0;
    } else if (IsDigit(c)) {
      ++digits;
    } else {
      return false;
    }
  }
  return dots == 3 && digits > 0;
}

// alphanum | alphanum *( alphanum | "-" ) alphanum, with an alpha first for a toplabel.
template <class C> bool LabelT(TView<C> s, bool alphaFirst) {
  if (s.empty() || !(alphaFirst ? IsAlpha(At(s, 0)) : IsAlphanum(At(s, 0))) ||
      !IsAlphanum(At(s, s.size() - 1))) {
    return false;
  }
  for (size_t i = 1; i + 1 < s.size(); ++i) {
    if (!IsAlphanum(At(s, i)) && At(s, i) != '-') {
      return false;
    }
  }
  return true;
}

template <class C> bool HostnameT(TView<C> s) {
  if (!s.empty() && s.back() == '.') {
    s.remove_suffix(1);
  }
  if (s.empty()) {
    return false;
  }
  const size_t lastDot = s.rfind('.');
  if (lastDot == TView<C>::npos) {
    return LabelT(s, true);
  }
  if (!LabelT(s.substr(lastDot + 1), true)) {
    return false;
  }
  TView<C> rest = s.substr(0, lastDot);
  for (;;) {
    const size_t dot = rest.find('.');
    if (!LabelT(rest.substr(0, dot), false)) {
      return false;
    }
    if (dot == TView<C>::npos) {
      return true;
    }
    rest = rest.substr(dot + 1);
  }
}

template <class C> bool HostT(TView<C> s) {
  return HostnameT(s) || IPv4T(s);
}

template <class C> bool HostportT(TView<C> s) {
  const size_t colon = s.find(':');
  if (colon == TView<C>::npos) {
    return HostT(s);
  }
  return HostT(s.substr(0, colon)) && PortT(s.substr(colon + 1));
}

template <class C> bool ServerT(TView<C> s) {
  if (s.empty()) {
    return true;
  }
  const size_t at = s.find('@');
  if (at == TView<C>::npos) {
    return HostportT(s);
  }
  return ScanEscaped(s.substr(0, at), UserinfoExtra) && HostportT(s.substr(at + 1));
}

template <class C> bool RegNameT(TView<C> s) {
  return !s.empty() && ScanEscaped(s, RegNameExtra);
}

template <class C> bool AuthorityT(TView<C> s) {
  return ServerT(s) || RegNameT(s);
}

template <class C> bool PathSegmentsT(TView<C> s) {
  return ScanEscaped(s, PathSegmentsExtra);
}

template <class C> bool AbsPathT(TView<C> s) {
  return !s.empty() && s[0] == '/' && PathSegmentsT(s.substr(1));
}

template <class C> bool RelSegmentT(TView<C> s) {
  return !s.empty() && ScanEscaped(s, RelSegmentExtra);
}

template <class C> bool RelPathT(TView<C> s) {
  const size_t slash = s.find('/');
  if (slash == TView<C>::npos) {
    return RelSegmentT(s);
  }
  return RelSegmentT(s.substr(0, slash)) && AbsPathT(s.substr(slash));
}

template <class C> bool NetPathT(TView<C> s) {
  if (s.size() < 2 || s[0] != '/' || s[1] != '/') {
    return false;
  }
  const TView<C> rest = s.substr(2);
  const size_t slash = rest.find('/');
  if (slash == TView<C>::npos) {
    return AuthorityT(rest);
  }
  return AuthorityT(rest.substr(0, slash)) && AbsPathT(rest.substr(slash));
}

template <class C> bool OpaquePartT(TView<C> s) {
  return !s.empty() && s[0] != '/' && ScanEscaped(s, UricExtra);
}

template <class C> bool PathT(TView<C> s) {
  return s.empty() || AbsPathT(s) || OpaquePartT(s);
}

template <class C> bool SchemeT(TView<C> s) {
  if (s.empty() || !IsAlpha(At(s, 0))) {
    return false;
  }
  for (size_t i = 1; i < s.size(); ++i) {
    const int c = At(s, i);
    if (!IsAlphanum(c) && c != '+' && c != '-' && c != '.') {
      return false;
    }
  }
  return true;
}

// Splits s at the first separator: the part before it, and the part after it when present.
template <class C>
bool WithOptionalTail(TView<C> s, char separator, bool (*head)(TView<C>), bool (*tail)(TView<C>)) {
  const size_t at = s.find(static_cast<C>(separator));
  if (at == TView<C>::npos) {
    return head(s);
  }
  return head(s.substr(0, at)) && tail(s.substr(at + 1));
}

template <class C> bool NetOrAbsPathT(TView<C> s) {
  return NetPathT(s) || AbsPathT(s);
}
template <class C> bool AnyRelativePathT(TView<C> s) {
  return NetPathT(s) || AbsPathT(s) || RelPathT(s);
}

template <class C> bool HierPartT(TView<C> s) {
  return WithOptionalTail<C>(s, '?', NetOrAbsPathT<C>, QueryT<C>);
}

template <class C> bool RelativeUriT(TView<C> s) {
  return WithOptionalTail<C>(s, '?', AnyRelativePathT<C>, QueryT<C>);
}

template <class C> bool AbsoluteUriT(TView<C> s) {
  const size_t colon = s.find(':');
  if (colon == TView<C>::npos) {
    return false;
  }
  const TView<C> rest = s.substr(colon + 1);
  return SchemeT(s.substr(0, colon)) && (HierPartT(rest) || OpaquePartT(rest));
}

template <class C> bool ReferenceHeadT(TView<C> s) {
  return s.empty() || AbsoluteUriT(s) || RelativeUriT(s);
}

template <class C> bool UriReferenceT(TView<C> s) {
  return WithOptionalTail<C>(s, '#', ReferenceHeadT<C>, QueryT<C>);
}

template <class C> bool OneChar(TView<C> s, bool (*test)(int)) {
  return s.size() == 1 && test(At(s, 0));
}

template <class C> bool EscapedT(TView<C> s) {
  return s.size() == 3 && s[0] == '%' && IsHex(At(s, 1)) && IsHex(At(s, 2));
}

} // namespace

#define VELMORA_URI_PREDICATE_BODY(name, body)                                                     \
  bool name(std::u16string_view s) {                                                               \
    return body<char16_t>(s);                                                                      \
  }                                                                                                \
  bool name(std::string_view s) {                                                                  \
    return body<char>(s);                                                                          \
  }

template <class C> bool UricOneT(TView<C> s) {
  return OneChar(s, IsUricChar);
}
template <class C> bool ReservedOneT(TView<C> s) {
  return OneChar(s, IsReservedChar);
}
template <class C> bool UnreservedOneT(TView<C> s) {
  return OneChar(s, IsUnreservedChar);
}
template <class C> bool UserinfoT(TView<C> s) {
  return ScanEscaped(s, UserinfoExtra);
}
template <class C> bool DomainlabelT(TView<C> s) {
  return LabelT(s, false);
}
template <class C> bool ToplabelT(TView<C> s) {
  return LabelT(s, true);
}

VELMORA_URI_PREDICATE_BODY(isUriReference, UriReferenceT)
VELMORA_URI_PREDICATE_BODY(isAbsoluteUri, AbsoluteUriT)
VELMORA_URI_PREDICATE_BODY(isRelativeUri, RelativeUriT)
VELMORA_URI_PREDICATE_BODY(isHierPart, HierPartT)
VELMORA_URI_PREDICATE_BODY(isOpaquePart, OpaquePartT)
VELMORA_URI_PREDICATE_BODY(isNetPath, NetPathT)
VELMORA_URI_PREDICATE_BODY(isAbsPath, AbsPathT)
VELMORA_URI_PREDICATE_BODY(isRelPath, RelPathT)
VELMORA_URI_PREDICATE_BODY(isRelSegment, RelSegmentT)
VELMORA_URI_PREDICATE_BODY(isUriPath, PathT)
VELMORA_URI_PREDICATE_BODY(isPathSegments, PathSegmentsT)
VELMORA_URI_PREDICATE_BODY(isUriScheme, SchemeT)
VELMORA_URI_PREDICATE_BODY(isUriAuthority, AuthorityT)
VELMORA_URI_PREDICATE_BODY(isRegName, RegNameT)
VELMORA_URI_PREDICATE_BODY(isUriServer, ServerT)
VELMORA_URI_PREDICATE_BODY(isUserinfo, UserinfoT)
VELMORA_URI_PREDICATE_BODY(isHostport, HostportT)
VELMORA_URI_PREDICATE_BODY(isUriHost, HostT)
VELMORA_URI_PREDICATE_BODY(isHostname, HostnameT)
VELMORA_URI_PREDICATE_BODY(isDomainlabel, DomainlabelT)
VELMORA_URI_PREDICATE_BODY(isToplabel, ToplabelT)
VELMORA_URI_PREDICATE_BODY(isIPv4address, IPv4T)
VELMORA_URI_PREDICATE_BODY(isUriPort, PortT)
VELMORA_URI_PREDICATE_BODY(isUriQuery, QueryT)
VELMORA_URI_PREDICATE_BODY(isUriFragment, QueryT)
VELMORA_URI_PREDICATE_BODY(isUric, UricOneT)
VELMORA_URI_PREDICATE_BODY(isUriReserved, ReservedOneT)
VELMORA_URI_PREDICATE_BODY(isUriUnreserved, UnreservedOneT)
VELMORA_URI_PREDICATE_BODY(isUriEscaped, EscapedT)

#undef VELMORA_URI_PREDICATE_BODY

template <class TString> void TUriAnalyzer<TString>::clear() {
  Scheme.clear();
  Authority.clear();
  Path.clear();
  Query.clear();
  Fragment.clear();
  HasScheme = HasAuthority = HasQuery = HasFragment = false;
}

template <class TString> bool TUriAnalyzer<TString>::parse(TView reference) {
  using C = typename TString::value_type;
  clear();
  TView rest = reference;
  bool ok = true;
  if (const size_t colon = rest.find(':'); colon != TView::npos) {
    Scheme = rest.substr(0, colon);
    HasScheme = true;
    ok = ok && SchemeT<C>(Scheme);
    rest = rest.substr(colon + 1);
  }
  if (const size_t hash = rest.find('#'); hash != TView::npos) {
    Fragment = rest.substr(hash + 1);
    HasFragment = true;
    ok = ok && QueryT<C>(Fragment);
    rest = rest.substr(0, hash);
  }
  if (const size_t question = rest.find('?'); question != TView::npos) {
    Query = rest.substr(question + 1);
    HasQuery = true;
    ok = ok && QueryT<C>(Query);
    rest = rest.substr(0, question);
  }
  if (rest.size() >= 2 && rest[0] == '/' && rest[1] == '/') {
    rest = rest.substr(2);
    const size_t slash = rest.find('/');
    Authority = rest.substr(0, slash);
    HasAuthority = true;
    ok = ok && AuthorityT<C>(Authority);
    rest = slash == TView::npos ? TView() : rest.substr(slash);
  }
  Path = rest;
  ok = ok && PathT<C>(Path);
  if (!ok) {
    clear();
  }
  return ok;
}

template <class TString> TString TUriAnalyzer<TString>::compose() const {
  TString result;
  if (HasScheme) {
    result += Scheme;
    result += ':';
  }
  if (HasAuthority) {
    result += '/';
    result += '/';
    result += Authority;
  }
  result += Path;
  if (HasQuery) {
    result += '?';
    result += Query;
  }
  if (HasFragment) {
    result += '#';
    result += Fragment;
  }
  return result;
}

template class TUriAnalyzer<WideString>;
template class TUriAnalyzer<NarrowString>;

namespace {

// Merges and normalizes a relative path (RFC 2396, 5.2 step 6); false when ".." would
// climb above the root.
template <class TString>
bool MergePaths(const TString& basePath, const TString& path, TString& merged) {
  TString joined;
  const size_t lastSlash = basePath.rfind('/');
  if (lastSlash != TString::npos && !basePath.empty()) {
    joined = basePath.substr(1, lastSlash);
  }
  joined += path;
  std::vector<TString> segments;
  size_t start = 0;
  for (;;) {
    const size_t slash = joined.find('/', start);
    segments.push_back(
        joined.substr(start, slash == TString::npos ? TString::npos : slash - start));
    if (slash == TString::npos) {
      break;
    }
    start = slash + 1;
  }
  const TString dot(1, '.');
  const TString dotDot(2, '.');
  if (segments.back() == dot || segments.back() == dotDot) {
    segments.emplace_back();
  }
  std::vector<TString> kept;
  for (TString& segment : segments) {
    if (segment == dot) {
      continue;
    }
    // A ".." cancels the nearest segment before it that is not "..".
    if (segment == dotDot && !kept.empty() && kept.back() != dotDot) {
      kept.pop_back();
      continue;
    }
    kept.push_back(std::move(segment));
  }
  if (!kept.empty() && kept.front() == dotDot) {
    return false;
  }
  merged.clear();
  for (const TString& segment : kept) {
    merged += '/';
    merged += segment;
  }
  return true;
}

template <class TString>
bool ResolveUriT(std::basic_string_view<typename TString::value_type> base,
                 std::basic_string_view<typename TString::value_type> reference, TString& result) {
  result.clear();
  TUriAnalyzer<TString> baseParts;
  TUriAnalyzer<TString> ref;
  if (!baseParts.parse(base) || !ref.parse(reference) || (!baseParts.HasScheme && !ref.HasScheme)) {
    return false;
  }
  if (ref.Path.empty() && !ref.HasScheme && !ref.HasAuthority && !ref.HasQuery) {
    baseParts.Fragment = ref.Fragment;
    baseParts.HasFragment = ref.HasFragment;
    result = baseParts.compose();
    return true;
  }
  if (ref.HasScheme) {
    result = ref.compose();
    return true;
  }
  ref.Scheme = baseParts.Scheme;
  ref.HasScheme = baseParts.HasScheme;
  if (!ref.HasAuthority) {
    ref.Authority = baseParts.Authority;
    ref.HasAuthority = baseParts.HasAuthority;
    if (ref.Path.empty() || ref.Path[0] != '/') {
      TString merged;
      if (!MergePaths(baseParts.Path, ref.Path, merged)) {
        return false;
      }
      ref.Path = merged;
    }
  }
  result = ref.compose();
  return true;
}

bool IsDriveStart(std::string_view path) {
  // "X:" or "X%3a" after the leading "/", followed by "/" or the end.
  if (path.size() < 2 || !IsAlpha(path[0])) {
    return false;
  }
  size_t after = 0;
  if (path[1] == ':') {
    after = 2;
  } else if (path.size() >= 4 && path.substr(1, 3) == "%3a") {
    after = 4;
  } else if (path.size() >= 4 && path.substr(1, 3) == "%3A") {
    after = 4;
  } else {
    return false;
  }
  return after == path.size() || path[after] == '/';
}

int HexValue(char c) {
  return IsDigit(c) ? c - '0' : ((c | 0x20) - 'a' + 10);
}

} // namespace

bool resolveUri(std::u16string_view base, std::u16string_view reference, WideString& result) {
  return ResolveUriT<WideString>(base, reference, result);
}

bool resolveUri(std::string_view base, std::string_view reference, NarrowString& result) {
  return ResolveUriT<NarrowString>(base, reference, result);
}

NarrowString fileNameToUri(std::string_view fileName, uint32_t flags) {
  NarrowString uri = (flags & kUriWithLocalhost) ? "file://localhost" : "file://";
  if (fileName.empty()) {
    return uri;
  }
  // A Linux path brings its own leading "/".
  if (fileName[0] != '/') {
    uri += '/';
  }
  static const char kHex[] = "0123456789ABCDEF";
  for (char c : fileName) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsAlphanum(byte) || byte == '!' || byte == '\'' || byte == '(' || byte == ')' ||
        byte == '*' || byte == '-' || byte == '.' || byte == '_' || byte == '~' || byte == '/') {
      uri += c;
    } else if (byte == ':') {
      uri += (flags & kUriKeepColon) ? ":" : "%3a";
    } else if (byte == '\\') {
      uri += '/';
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    }
  }
  return uri;
}

bool uriToFileName(std::string_view uri, NarrowString& fileName, NarrowString& authority,
                   NarrowString& query, NarrowString& fragment) {
  fileName.clear();
  authority.clear();
  query.clear();
  fragment.clear();
  TUriStrAnalyzer parts;
  if (!parts.parse(uri) || parts.Scheme.size() != 4 || (parts.Scheme[0] | 0x20) != 'f' ||
      (parts.Scheme[1] | 0x20) != 'i' || (parts.Scheme[2] | 0x20) != 'l' ||
      (parts.Scheme[3] | 0x20) != 'e') {
    return false;
  }
  const std::string_view path = parts.Path;
  const bool windows = !path.empty() && IsDriveStart(path.substr(1));
  NarrowString name;
  for (size_t i = windows ? 1 : 0; i < path.size(); ++i) {
    char c = path[i];
    if (c == '%' && i + 2 < path.size() && IsHex(path[i + 1]) && IsHex(path[i + 2])) {
      c = static_cast<char>(HexValue(path[i + 1]) * 16 + HexValue(path[i + 2]));
      i += 2;
      // A NUL would cut the file name short where the system reads it.
      if (c == '\0') {
        return false;
      }
    } else if (c == '/' && windows) {
      c = '\\';
    }
    name += c;
  }
  fileName = std::move(name);
  authority = parts.Authority;
  if (parts.HasQuery) {
    query = "?" + parts.Query;
  }
  if (parts.HasFragment) {
    fragment = "#" + parts.Fragment;
  }
  return true;
}

} // namespace velmora
