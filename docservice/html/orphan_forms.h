#pragma once
// Forms that the library split: when a form's end tag came too early, the library closes
// the form and wraps the fields that follow in a new form without attributes. The merge
// moves such an orphan's content back into the form before it.

#include "docservice/html/markup_writer.h"
#include "runtime/strings.h"

namespace velmora {

// The state of one merge pass.
struct tTidyBus {
  // The last form with attributes before the orphan; receives the moved content.
  TidyNode Receiver = nullptr;
  // The first form without attributes after a receiver.
  TidyNode Orphan = nullptr;
  NarrowString MovedContent;
  NarrowString EmittedDocument;
};

// Looks for an orphan in document order and fills bus: the receiver, the orphan and its
// inner markup as the moved content. False when there is none. The search ends at the
// first orphan: the content of one orphan moves per pass, and never into a form that is
// left out with it.
bool FindOrphanForm(TidyDoc doc, const TMarkupWriter& writer, tTidyBus& bus);

// The document written with the orphan left out and its content inside the receiver.
NarrowString MergedDocument(const TMarkupWriter& writer, const tTidyBus& bus);

} // namespace velmora
