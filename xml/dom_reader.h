#pragma once
// The DOM reader: walks an existing DOM tree and sends the signals that the tree would
// have produced, so that a chain ending in a DOM builder copies it into another document.
// The walk is iterative: a tree of any depth can be read.

#include "xml/handlers.h"

namespace velmora {

class TDomElement;

// The prefix an attribute of this name declares ("xmlns:p" declares p), or false. The
// prefixes a DOM reader maps before an element's start.
bool DeclaredPrefix(std::u16string_view attributeName, std::u16string_view& prefix);

class TXmlStandardDomReader : public TXmlCustomReader {
public:
  explicit TXmlStandardDomReader(TComponent* owner = nullptr) : TXmlCustomReader(owner) {}
  const char* ClassName() const override { return "TXmlStandardDomReader"; }

  // The node being walked.
  virtual TDomNode* CurrentNode() const { return FCurrentNode; }
  // The URI of the current node's document (the document's own for a document node).
  virtual const WideString& CurrentUri() const;
  // Sends node and its subtree.
  virtual void WalkNode(TDomNode* node);
  virtual void SendAborted();
  virtual void SendAttribute(uint8_t attrType, std::u16string_view name, std::u16string_view value);
  virtual void SendCData(std::u16string_view text);
  virtual void SendComment(std::u16string_view text);
  virtual void SendDoctype(std::u16string_view name, std::u16string_view publicId,
                           std::u16string_view systemId, std::u16string_view internalSubset);
  virtual void SendEndElement(std::u16string_view tagName);
  virtual void SendEndPrefixMapping(std::u16string_view prefix);
  virtual void SendEntityRef(std::u16string_view name);
  virtual void SendCompleted();
  virtual void SendPCData(std::u16string_view text, bool charRefFlag);
  virtual void SendPI(std::u16string_view target, std::u16string_view data);
  virtual void SendStartDocument(std::u16string_view actualEncoding, std::u16string_view version,
                                 uint8_t standalone, std::u16string_view declaredEncoding);
  virtual void SendStartFragment(std::u16string_view encoding);
  virtual void SendStartElement(std::u16string_view tagName);
  virtual void SendStartPrefixMapping(std::u16string_view prefix, std::u16string_view uri);
  // True when node's whole subtree was sent; false when an exception stopped it (the
  // chain then received the aborted signal). None raises EAccessViolation "Source node
  // not specified.".
  virtual bool ReadNode(TDomNode* node);

  // Only attributes whose specified flag is set (true by default).
  bool IgnoreUnspecified() const { return FIgnoreUnspecified; }
  void SetIgnoreUnspecified(bool value) { FIgnoreUnspecified = value; }
  // Entity references that hold their replacement are sent as that content, for a copy
  // into a document that holds no references (false by default: sent as references).
  bool ReplayEntityContent() const { return FReplayEntityContent; }
  void SetReplayEntityContent(bool value) { FReplayEntityContent = value; }

private:
  // Where every signal of this reader stands: nowhere but on line 1 of the current URI.
  class TNodeLocation final : public TValueLocation {
  public:
    TNodeLocation();
    const WideString& SourceUri() const override { return *Uri; }
    const WideString* Uri;
  };

  // The first and the last step of a node in the walk.
  void EnterNode(TDomNode* node);
  bool ReplaysContent(const TDomNode* node) const;
  void LeaveElement(TDomElement* element);
  void SendElementStart(TDomElement* element);
  // Signals are sent at the current node.
  const TextLocation* Here();

  TDomNode* FCurrentNode = nullptr;
  bool FIgnoreUnspecified = true;
  bool FReplayEntityContent = false;
  TNodeLocation FLocation;
};

} // namespace velmora
