#include "docservice/html/orphan_forms.h"

#include <vector>

namespace velmora {

bool FindOrphanForm(TidyDoc doc, const TMarkupWriter& writer, tTidyBus& bus) {
  bus = tTidyBus();
  // Each node before its children, without recursion.
  std::vector<TidyNode> pending;
  for (TidyNode node = tidyGetChild(tidyGetRoot(doc)); node;) {
    const tNodeInfo info(doc, node);
    if (info.TagId() == TidyTag_FORM) {
      if (info.HasAttributes()) {
        bus.Receiver = node;
      } else if (bus.Receiver) {
        bus.Orphan = node;
        bus.MovedContent = writer.InnerMarkup(node);
        return true;
      }
    }
    if (const TidyNode next = tidyGetNext(node)) {
      pending.push_back(next);
    }
    node = tidyGetChild(node);
    if (!node && !pending.empty()) {
      node = pending.back();
      pending.pop_back();
    }
  }
  return false;
}

NarrowString MergedDocument(const TMarkupWriter& writer, const tTidyBus& bus) {
  return writer.Document(bus.Receiver, bus.Orphan, bus.MovedContent);
}

} // namespace velmora
