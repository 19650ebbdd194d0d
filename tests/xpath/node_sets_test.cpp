#include "tests/xpath/xpath_fixture.h"
#include "xpath/document_order.h"

namespace velmora::testing {
namespace {

std::string Labels(const TDomXPathNodeSetResult& set) {
  return Picture(set);
}

TDomXPathNodeSetPtr SetOf(std::initializer_list<TDomNode*> nodes,
                          TDomXPathAxisType axisType = atForward) {
  TDomXPathNodeSetPtr set = NewNodeSet(axisType);
  for (TDomNode* node : nodes) {
    set->Add(node);
  }
  return set;
}

using NodeSets = SampleDocumentTest;

TEST_F(NodeSets, MergeKeepsOrderAndDropsRepeats) {
  TDomXPathNodeSetPtr a = SetOf({Node("r"), Node("@x=1"), Node("b2")});
  TDomXPathNodeSetPtr b = SetOf(
      {Node("/"), Node("a1"), Node("@id=a1"), Node("@x=1"), Node("b1"), Node("b2"), Node("c:end")});
  a->Merge(*b);
  // The attributes of a1 come after a1, a's own first, before a1's children.
  EXPECT_EQ(Labels(*a), "[/ r a1 @x=1 @id=a1 b1 b2 c:end]");
  EXPECT_EQ(Labels(*b), "[/ a1 @id=a1 @x=1 b1 b2 c:end]");
  a->Merge(*a);
  EXPECT_EQ(a->Length(), 8);

  // Held attributes go in before the next node of a, not at the end.
  TDomXPathNodeSetPtr c = SetOf({Node("a1"), Node("b1")});
  TDomXPathNodeSetPtr d = SetOf({Node("@id=a1"), Node("@x=1")});
  c->Merge(*d);
  EXPECT_EQ(Labels(*c), "[a1 @id=a1 @x=1 b1]");
}

TEST_F(NodeSets, MergeInReverseReordersTheOtherSet) {
  TDomXPathNodeSetPtr a = SetOf({Node("c1"), Node("a1"), Node("/")}, atReverse);
  TDomXPathNodeSetPtr b = SetOf({Node("r"), Node("b2"), Node("c1")}, atForward);
  a->Merge(*b);
  EXPECT_EQ(Labels(*a), "[c1 b2 a1 r /]");
  EXPECT_EQ(b->AxisType(), atReverse);
  a->SetAxisType(atForward);
  EXPECT_EQ(Labels(*a), "[/ r a1 b2 c1]");
}

TEST_F(NodeSets, NamespaceNodesOfOnePrefixAndElementAreOneNode) {
  TDomXPathNodeSetPtr a = SetOf({Node("ns:p"), Node("ns:xml")});
  TDomXPathNodeSetPtr b = SetOf({Node("a1"), Node("ns:xml"), Node("ns:xmlns"), Node("ns:p")});
  EXPECT_EQ(a->ownedObjectCount(), 2); // copies of their own
  EXPECT_NE(a->Item(0), Node("ns:p"));
  a->Merge(*b);
  EXPECT_EQ(Labels(*a), "[a1 ns:p ns:xml ns:xmlns]");
  EXPECT_EQ(a->ownedObjectCount(), 3);
  a->Delete(1);
  EXPECT_EQ(a->ownedObjectCount(), 2);
  TDomXPathNodeSetPtr copy = NewNodeSet();
  copy->Assign(*a);
  EXPECT_EQ(Labels(*copy), "[a1 ns:xml ns:xmlns]");
  EXPECT_EQ(copy->ownedObjectCount(), 2);
  a->Clear();
  EXPECT_EQ(a->ownedObjectCount(), 0);
  EXPECT_EQ(copy->Item(1)->nodeValue(), XmlNamespaceURI);
}

TEST_F(NodeSets, ListOperations) {
  TDomXPathNodeSetPtr set = SetOf({Node("a1"), Node("b1")});
  set->Insert(1, Node("@x=1"));
  set->Insert(0, Node("r"));
  EXPECT_EQ(Labels(*set), "[r a1 @x=1 b1]");
  EXPECT_THROW(set->Insert(9, Node("r")), EListError);
  EXPECT_THROW(set->Delete(4), EListError);
  EXPECT_EQ(set->Item(4), nullptr);
  EXPECT_EQ(set->Item(-1), nullptr);
  set->SetAxisType(atReverse);
  EXPECT_EQ(Labels(*set), "[b1 @x=1 a1 r]");
  EXPECT_EQ(set->AsWideString(), u"onetwothree"); // of r, the first in document order
}

TEST_F(NodeSets, SubtreesInBothDirections) {
  TDomXPathNodeSetPtr forward = NewNodeSet();
  forward->AddSubtree(Node("a1"));
  EXPECT_EQ(Labels(*forward), "[a1 b1 t:one cd:two t:three c:note pi:go b2 c1]");
  TDomXPathNodeSetPtr reverse = NewNodeSet(atReverse);
  reverse->AddSubtree(Node("b2"));
  reverse->AddSubtree(Node("a2"));
  EXPECT_EQ(Labels(*reverse), "[c1 b2 a2]");
  TDomXPathNodeSetPtr all = NewNodeSet();
  all->AddSubtree(FDoc);
  EXPECT_EQ(all->Length(), 14);
}

TEST_F(NodeSets, OrderFollowsChangesOfTheTree) {
  EXPECT_EQ(Eval(u"//b"), "[b1 b2]");
  // Moving b2 before b1 and a2 into a1 renumbers the document before the next question.
  Node("a1")->insertBefore(Node("b2"), Node("b1"));
  Node("b1")->appendChild(Node("a2"));
  EXPECT_EQ(Eval(u"//b | //a"), "[a1 b2 b1 a2]");
  EXPECT_EQ(Eval(u"//*[@id][last()]"), "[r a1 c1 b1 a2]");
  Node("b1")->removeChild(Node("a2"));
  EXPECT_EQ(Eval(u"//a"), "[a1]");
}

TEST_F(NodeSets, TreesOutsideTheDocumentHaveAnOrderOfTheirOwn) {
  TDomElement* x = Element(nullptr, u"x", {{u"id", u"x"}});
  TDomElement* x1 = Element(x, u"x", {{u"id", u"x1"}});
  TDomElement* y = Element(nullptr, u"y", {{u"id", u"y"}});
  TDomElement* y1 = Element(y, u"y", {{u"id", u"y1"}});
  EXPECT_EQ(Eval(u"ancestor-or-self::node()", x1), "[x x1]");
  EXPECT_EQ(Eval(u"descendant-or-self::*", x), "[x x1]");
  EXPECT_EQ(Eval(u"//x", x1), "[]"); // "//" starts at the document
  EXPECT_EQ(Eval(u"/", x1), "[/]");
  EXPECT_EQ(Eval(u"count(ancestor-or-self::* | /root | //*)", x1), "8");
  // Any order of the trees, but the same every time, and each tree in its own order.
  TDomXPathNodeSetPtr first = SetOf({y1, x1, Node("b1"), y, x, Node("r")});
  TDomXPathNodeSetPtr second = SetOf({x, Node("r"), y1, x1, y, Node("b1")});
  first->Sort();
  second->Sort();
  EXPECT_EQ(Labels(*first), Labels(*second));
  const std::string sorted = Labels(*first);
  EXPECT_LT(sorted.find(" x "), sorted.find("x1")) << sorted;
  EXPECT_LT(sorted.find("y "), sorted.find("y1")) << sorted;
  EXPECT_LT(sorted.find("r"), sorted.find("b1")) << sorted;
}

TEST_F(NodeSets, NodesOfDocumentsThatDoNotNumberThemCannotBeOrdered) {
  auto* plain = new TDomDocumentNS;
  auto* element = new TDomElement(plain, u"", u"e");
  plain->appendChild(element);
  TDomXPathNodeSetPtr set = SetOf({Node("r"), element});
  EXPECT_THROW(set->Sort(), ENot_Supported_Err);
  set.reset();
  plain->Free();
}

} // namespace
} // namespace velmora::testing
