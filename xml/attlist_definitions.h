#pragma once
// The attribute definitions of one ATTLIST declaration, as written between its element type
// and its ">". They are taken one at a time, each from where the one before ended, so a
// declaration with many definitions reads in time linear in its length.

#include "runtime/strings.h"

namespace velmora {

class TXmlAttributeDefinitionSignal;

class TXmlAttListDefinitions {
public:
  // The text to fill; Restart after filling.
  WideString& Text() { return FText; }
  void Restart() { FPosition = 0; }
  void Clear() {
    FText.clear();
    FPosition = 0;
  }

  // Whether another definition follows (white space does not count).
  bool Pending();
  // Fills the name, type, default and enumeration of the next definition into signal (its
  // texts are views of this text); ekInvalidAttlistDecl when it is malformed, and nothing
  // is pending afterwards.
  int Next(TXmlAttributeDefinitionSignal& signal);

private:
  bool ReadType(std::u16string_view text, size_t& i, TXmlAttributeDefinitionSignal& signal);
  bool ReadEnumeration(std::u16string_view text, size_t& i, TXmlAttributeDefinitionSignal& signal);
  bool ReadDefault(std::u16string_view text, size_t& i, TXmlAttributeDefinitionSignal& signal);

  WideString FText;
  size_t FPosition = 0;
};

} // namespace velmora
