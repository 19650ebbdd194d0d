#pragma once
// Resource resolvers: open the external resources (DTDs, entities) that a document names
// by URI.

#include <functional>
#include <memory>

#include "runtime/component.h"
#include "runtime/streams.h"

namespace velmora {

// The resource type resolvers are asked for: the XML 1.0 Recommendation's URI.
constexpr std::u16string_view kXmlResourceType = u"http://www.w3.org/TR/REC-xml";

class TCustomResourceResolver : public TComponent {
public:
  explicit TCustomResourceResolver(TComponent* owner = nullptr) : TComponent(owner) {}

  // A stream over the resource, or none; the caller owns the stream. The identifiers may
  // come back changed (resolved against baseUri, or replaced).
  virtual std::unique_ptr<TStream> ResolveResource(std::u16string_view baseUri,
                                                   WideString& publicId, WideString& systemId) = 0;

  const char* ClassName() const override { return "TCustomResourceResolver"; }
};

using TDomResolveResourceEvent =
    std::function<void(TComponent* sender, std::u16string_view resourceType,
                       std::u16string_view namespaceUri, WideString& publicId, WideString& systemId,
                       std::unique_ptr<TStream>& stream, bool& certifiedText)>;

class TStandardResourceResolver : public TCustomResourceResolver {
public:
  explicit TStandardResourceResolver(TComponent* owner = nullptr)
      : TCustomResourceResolver(owner) {}

  // Resolves systemId against baseUri, lets OnResolveResource answer, and otherwise opens
  // the "file" URI read-only. Anything that cannot be opened gives none.
  std::unique_ptr<TStream> ResolveResource(std::u16string_view baseUri, WideString& publicId,
                                           WideString& systemId) override;

  TDomResolveResourceEvent OnResolveResource;

  const char* ClassName() const override { return "TStandardResourceResolver"; }
};

// Opens the regular file that a "file" URI names, read-only. Raises EFOpenError
// 'URI "%s" contains no scheme.', 'URI scheme "%s" not supported.' or
// 'File "%s" not found.' (also for a folder, a device or a pipe, and for a file on
// another host).
std::unique_ptr<TStream> OpenFileUri(std::u16string_view uri);

} // namespace velmora
