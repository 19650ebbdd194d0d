#include "docservice/copy_releaser.h"

#include "dom/dom_node.h"

namespace velmora {

void TXmlCopyReleaser::ProcessSignal(TXmlSignal& signal) {
  PassOn(signal);
  switch (signal.Kind()) {
  case skStartDocument:
  case skStartDocumentFragment:
  case skAborted:
    FOpenElements.clear();
    return;
  case skStartElement:
    FOpenElements.push_back(FElementsStarted++);
    return;
  case skEndElement: {
    if (FOpenElements.empty()) {
      return;
    }
    const uint64_t before = FOpenElements.back();
    FOpenElements.pop_back();
    // The reader still reads the element itself (its attributes, its next sibling) after
    // this signal, but never its children again.
    TDomNode* element = signal.DomNode();
    if (FElementsStarted - before > kLargeElement && element && element->hasChildNodes()) {
      element->clear();
    }
    return;
  }
  default:
    return;
  }
}

} // namespace velmora
