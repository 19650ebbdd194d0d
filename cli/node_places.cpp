#include "cli/node_places.h"

#include <algorithm>

#include "dom/element.h"
#include "xml/dom_builder.h"
#include "xml/signals.h"

namespace velmora {

TXmlNodePlaces::TXmlNodePlaces(TXmlDomBuilder* builder) : FBuilder(builder) {
  SetNextHandler(builder);
}

void TXmlNodePlaces::ProcessSignal(TXmlSignal& signal) {
  const TXmlSignalKind kind = signal.Kind();
  PassOn(signal);
  switch (kind) {
  case skStartDocument:
  case skStartDocumentFragment:
    FDoctypeSeen = false;
    FPlaces.clear();
    FSorted = false;
    return;
  case skDoctype:
    FDoctypeSeen = true;
    return;
  case skStartElement:
    if (FDoctypeSeen) {
      Place(FBuilder->ReferenceNode(), signal);
    }
    return;
  case skEntityRef:
    if (FDoctypeSeen && FBuilder->ReferenceNode()) {
      TDomNode* last = FBuilder->ReferenceNode()->lastChild();
      if (last && last->nodeType() == nkEntityReference) {
        Place(last, signal);
      }
    }
    return;
  default:
    return;
  }
}

void TXmlNodePlaces::Place(const TDomNode* node, const TXmlSignal& signal) {
  if (node && signal.StartLine() > 0) {
    const auto clamped = [](int64_t value) {
      return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, UINT32_MAX));
    };
    FPlaces.push_back({node, clamped(signal.StartLine()), clamped(signal.StartColumn())});
    FSorted = false;
  }
}

TXmlNodePlaces::TPlace* TXmlNodePlaces::Lookup(const TDomNode* node) {
  const auto byNode = [](const TPlace& place, const TDomNode* key) { return place.Node < key; };
  if (!FSorted) {
    std::sort(FPlaces.begin(), FPlaces.end(),
              [](const TPlace& a, const TPlace& b) { return a.Node < b.Node; });
    FSorted = true;
  }
  const auto found = std::lower_bound(FPlaces.begin(), FPlaces.end(), node, byNode);
  return found != FPlaces.end() && found->Node == node ? &*found : nullptr;
}

void TXmlNodePlaces::Forget(const TDomNode* node) {
  if (FPlaces.empty()) {
    return;
  }
  if (TPlace* place = Lookup(node)) {
    place->Line = 0;
  }
}

bool TXmlNodePlaces::Find(const TDomNode* node, int64_t& line, int64_t& column) {
  if (node && node->nodeType() == nkAttribute) {
    node = static_cast<const TDomAttr*>(node)->ownerElement();
  }
  for (; node; node = node->parentNode()) {
    const TPlace* place = Lookup(node);
    if (place && place->Line > 0) {
      line = place->Line;
      column = place->Column;
      return true;
    }
  }
  return false;
}

} // namespace velmora
