#pragma once
// A handler between the DOM reader and the builder of the service's copy: once a large
// element has been copied, its children in the source document are freed. The walk never
// comes back to them, so the source shrinks while the copy grows, and the copy's nodes take
// the memory that the source's gave back: the load needs little more than one document's
// memory, not two. Small elements are left to the source's freeing as a whole, which costs
// less per node.

#include <vector>

#include "xml/handlers.h"

namespace velmora {

class TXmlCopyReleaser final : public TXmlCustomHandler {
public:
  explicit TXmlCopyReleaser(TComponent* owner = nullptr) : TXmlCustomHandler(owner) {}
  const char* ClassName() const override { return "TXmlCopyReleaser"; }

  void ProcessSignal(TXmlSignal& signal) override;

private:
  // Elements with at least this many elements below them are released.
  static constexpr uint64_t kLargeElement = 1024;

  uint64_t FElementsStarted = 0;
  // For each open element: the elements started before it.
  std::vector<uint64_t> FOpenElements;
};

} // namespace velmora
