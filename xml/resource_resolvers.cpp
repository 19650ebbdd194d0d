#include "xml/resource_resolvers.h"

#include <sys/stat.h>

#include "dom/uri_rules.h"
#include "runtime/exceptions.h"
#include "runtime/format.h"
#include "xml/codec_names.h"

namespace velmora {

namespace {

bool IsRegularFile(const NarrowString& fileName) {
  struct stat info;
  return ::stat(fileName.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

std::unique_ptr<TStream> OpenFileUri(std::u16string_view uri) {
  const NarrowString narrowUri = WideToNarrow(uri);
  TUriStrAnalyzer parts;
  if (!parts.parse(narrowUri) || !parts.HasScheme) {
    throw EFOpenError(Format("URI \"%s\" contains no scheme.", {narrowUri}));
  }
  if (!SameAsciiText(parts.Scheme, "file")) {
    throw EFOpenError(Format("URI scheme \"%s\" not supported.", {parts.Scheme}));
  }
  NarrowString fileName, authority, query, fragment;
  const bool local = uriToFileName(narrowUri, fileName, authority, query, fragment) &&
                     (authority.empty() || SameAsciiText(authority, "localhost"));
  const NarrowString expanded = local ? ExpandFileName(fileName) : narrowUri;
  // Only a regular file: opening a pipe or a device could block or never end.
  if (!local || !IsRegularFile(expanded)) {
    throw EFOpenError(Format("File \"%s\" not found.", {expanded}));
  }
  return std::make_unique<TFileStream>(expanded, faRead);
}

std::unique_ptr<TStream> TStandardResourceResolver::ResolveResource(std::u16string_view baseUri,
                                                                    WideString& publicId,
                                                                    WideString& systemId) {
  WideString resolved;
  // An identifier that does not resolve is kept as given, for the event to interpret.
  if (resolveUri(baseUri, systemId, resolved)) {
    systemId = std::move(resolved);
  }
  std::unique_ptr<TStream> stream;
  if (OnResolveResource) {
    bool certifiedText = false;
    OnResolveResource(this, kXmlResourceType, u"", publicId, systemId, stream, certifiedText);
  }
  if (!stream && !systemId.empty()) {
    try {
      stream = OpenFileUri(systemId);
    } catch (const EFOpenError&) {
      stream.reset();
    }
  }
  return stream;
}

} // namespace velmora
