#include "xml/text_location.h"

namespace velmora {

TLocationValues TextLocation::Values() const {
  TLocationValues values;
  values.EndByte = EndByte();
  values.EndChar = EndChar();
  values.EndColumn = EndColumn();
  values.EndLine = EndLine();
  values.EndTabs = EndTabs();
  values.DtdObject = DtdObject();
  values.DomNode = DomNode();
  values.StartByte = StartByte();
  values.StartChar = StartChar();
  values.StartColumn = StartColumn();
  values.StartLine = StartLine();
  values.StartTabs = StartTabs();
  return values;
}

} // namespace velmora
