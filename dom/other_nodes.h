#pragma once
// Character data (text, CDATA sections, comments), processing instructions, document type
// declarations, entity references and document fragments.

#include "dom/dom_node.h"

namespace velmora {

class TDomCharacterData : public TDomValueNode {
public:
  explicit TDomCharacterData(TCustomOwnedObject* owner);
  // A new node holding data from the start (nothing to report: it is in no tree yet).
  TDomCharacterData(TCustomOwnedObject* owner, std::u16string_view data);
  const char* ClassName() const override { return "TDomCharacterData"; }

  std::u16string_view data() const { return FNodeValue.view(); }
  // Stores the value (read-only nodes refuse) and reports the change.
  void setData(std::u16string_view value);
  int length() const { return static_cast<int>(FNodeValue.size()); }
  WideString substringData(int offset, int count) const;
  void appendData(std::u16string_view arg);
  void insertData(int offset, std::u16string_view arg) { replaceData(offset, 0, arg); }
  void deleteData(int offset, int count) { replaceData(offset, count, u""); }
  void replaceData(int offset, int count, std::u16string_view arg);
  void notifyDataModified();
};

class TDomText : public TDomCharacterData {
public:
  explicit TDomText(TCustomOwnedObject* owner) : TDomCharacterData(owner) {}
  TDomText(TCustomOwnedObject* owner, std::u16string_view data) : TDomCharacterData(owner, data) {}
  const char* ClassName() const override { return "TDomText"; }
  TDomNodeType nodeType() const override { return nkText; }
  const WideString& nodeName() const override;

  // Set when some of the text came from a character reference.
  bool fromCharacterReference() const { return FFromCharacterReference; }
  void setFromCharacterReference(bool value) { FFromCharacterReference = value; }
  // Whether the text is white space in element content, as the document's type declaration
  // tells; false without one.
  bool isWhitespaceInElementContent() const;
  // Keeps the data before offset and returns a new text node with the rest, placed after
  // this one when it has a parent.
  TDomText* splitText(int offset);
};

class TDomCDATASection : public TDomText {
public:
  using TDomText::TDomText;
  const char* ClassName() const override { return "TDomCDATASection"; }
  TDomNodeType nodeType() const override { return nkCDATASection; }
  const WideString& nodeName() const override;
};

class TDomComment : public TDomCharacterData {
public:
  using TDomCharacterData::TDomCharacterData;
  const char* ClassName() const override { return "TDomComment"; }
  TDomNodeType nodeType() const override { return nkComment; }
  const WideString& nodeName() const override;
};

class TDomProcessingInstruction : public TDomValueNode {
public:
  // target must be a PITarget (a Name other than "xml" in any letter case).
  TDomProcessingInstruction(TCustomOwnedObject* owner, std::u16string_view target);
  TDomProcessingInstruction(TCustomOwnedObject* owner, std::u16string_view target,
                            std::u16string_view data);
  const char* ClassName() const override { return "TDomProcessingInstruction"; }
  TDomNodeType nodeType() const override { return nkProcessingInstruction; }
  const WideString& nodeName() const override { return FTarget; }
  const WideString& xpathName() const override { return FTarget; }
  const WideString& target() const { return FTarget; }
  std::u16string_view data() const { return FNodeValue.view(); }
  void setData(std::u16string_view value);
  void notifyDataModified();

private:
  WideString FTarget;
};

class TDomDocumentTypeDecl : public TDomNode {
public:
  TDomDocumentTypeDecl(TCustomOwnedObject* owner, std::u16string_view name,
                       std::u16string_view publicId, std::u16string_view systemId,
                       std::u16string_view internalSubset);
  const char* ClassName() const override { return "TDomDocumentTypeDecl"; }
  TDomNodeType nodeType() const override { return nkDocumentType; }
  const WideString& nodeName() const override { return FName; }
  void setNodeValue(std::u16string_view) override {}
  const WideString& name() const { return FName; }
  const WideString& publicId() const { return FPublicId; }
  const WideString& systemId() const { return FSystemId; }
  const WideString& internalSubset() const { return FInternalSubset; }

  // Where the internal subset starts in the source text, filled by the parser.
  int64_t IntSubsetStartByte = 0;
  int64_t IntSubsetStartChar = 0;
  int64_t IntSubsetStartColumn = 0;
  int64_t IntSubsetStartLine = 1;

private:
  WideString FName;
  WideString FPublicId;
  WideString FSystemId;
  WideString FInternalSubset;
};

class TDomEntityReference : public TDomNode {
public:
  // name must be an XML Name; the reference is read-only from the start.
  TDomEntityReference(TCustomOwnedObject* owner, std::u16string_view name);
  const char* ClassName() const override { return "TDomEntityReference"; }
  TDomNodeType nodeType() const override { return nkEntityReference; }
  const WideString& nodeName() const override { return FName; }
  void setNodeValue(std::u16string_view) override {}

private:
  WideString FName;
};

class TDomDocumentFragment : public TDomNode {
public:
  explicit TDomDocumentFragment(TCustomOwnedObject* owner);
  const char* ClassName() const override { return "TDomDocumentFragment"; }
  TDomNodeType nodeType() const override { return nkDocumentFragment; }
  const WideString& nodeName() const override;
  void setNodeValue(std::u16string_view) override {}
  int64_t documentOrderIndex() const override { return -1; }
  int64_t level() const override { return -1; }
};

} // namespace velmora
