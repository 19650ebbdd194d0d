#pragma once
// Texts for error records, for tools that show them to people: the kind's name as the
// code spells it, and an English sentence built from the kind, the snippet and the clue.

#include "runtime/strings.h"

namespace velmora {

class TDomError;

// "ekEndTagMismatch", or "kind 17" for a kind without a name.
NarrowString ErrorKindName(int errorKind);
// "end tag 'b' does not match the open element", in UTF-8.
NarrowString ErrorMessage(const TDomError& error);
// "fatal", "error" or "warning".
const char* SeverityName(int errorKind);

} // namespace velmora
