#include "xpath/comparisons.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>
#include <vector>

#include "dom/dom_node.h"
#include "xpath/node_set_result.h"
#include "xpath/string_values.h"

namespace velmora {

namespace {

const TDomXPathNodeSetResult* AsNodeSet(const TDomXPathCustomResult& result) {
  return result.ResultType() == rtNodeSet ? static_cast<const TDomXPathNodeSetResult*>(&result)
                                          : nullptr;
}

// The string values of a set's nodes, each computed once.
std::vector<WideString> StringValues(const TDomXPathNodeSetResult& set) {
  std::vector<WideString> values;
  values.reserve(set.Nodes().size());
  TDomXPathStringValues stringValues;
  for (const TDomNode* node : set.Nodes()) {
    values.emplace_back(stringValues.Of(node));
  }
  return values;
}

// Strings by code units, numbers numerically.
template <class T> bool Holds(const T& a, const T& b, TDomXPathRelation relation) {
  switch (relation) {
  case reLess:
    return a < b;
  case reLessOrEqual:
    return a <= b;
  case reGreater:
    return a > b;
  case reGreaterOrEqual:
    return a >= b;
  }
  return false;
}

bool NodeSetsEqual(const TDomXPathNodeSetResult& a, const TDomXPathNodeSetResult& b,
                   bool notEqual) {
  if (a.Nodes().empty() || b.Nodes().empty()) {
    return false;
  }
  const std::vector<WideString> valuesA = StringValues(a);
  const std::vector<WideString> valuesB = StringValues(b);
  if (notEqual) {
    // Some pair differs unless every value on both sides is one and the same.
    const WideString& first = valuesA.front();
    const auto other = [&first](const WideString& value) { return value != first; };
    return std::any_of(valuesA.begin(), valuesA.end(), other) ||
           std::any_of(valuesB.begin(), valuesB.end(), other);
  }
  const bool aSmaller = valuesA.size() <= valuesB.size();
  const std::vector<WideString>& smaller = aSmaller ? valuesA : valuesB;
  const std::vector<WideString>& larger = aSmaller ? valuesB : valuesA;
  const std::unordered_set<std::u16string_view> known(smaller.begin(), smaller.end());
  return std::any_of(larger.begin(), larger.end(),
                     [&known](const WideString& value) { return known.contains(value); });
}

} // namespace

bool CompareNodeSetWithString(const TDomXPathNodeSetResult& set, std::u16string_view text,
                              bool notEqual) {
  TDomXPathStringValues values;
  return std::any_of(set.Nodes().begin(), set.Nodes().end(),
                     [&](const TDomNode* node) { return (values.Of(node) == text) != notEqual; });
}

bool CompareNodeSetWithString(const TDomXPathNodeSetResult& set, std::u16string_view text,
                              TDomXPathRelation relation, bool textFirst) {
  TDomXPathStringValues values;
  return std::any_of(set.Nodes().begin(), set.Nodes().end(), [&](const TDomNode* node) {
    const std::u16string_view value = values.Of(node);
    return textFirst ? Holds(text, value, relation) : Holds(value, text, relation);
  });
}

bool CompareEquality(const TDomXPathCustomResult& left, const TDomXPathCustomResult& right,
                     bool notEqual) {
  // Equality is symmetric: a node set, if there is one, goes to the left.
  const TDomXPathCustomResult* l = &left;
  const TDomXPathCustomResult* r = &right;
  if (AsNodeSet(*r)) {
    std::swap(l, r);
  }
  if (const TDomXPathNodeSetResult* set = AsNodeSet(*l)) {
    if (const TDomXPathNodeSetResult* other = AsNodeSet(*r)) {
      return NodeSetsEqual(*set, *other, notEqual);
    }
    return CompareNodeSetWithString(*set, r->AsWideString(), notEqual);
  }
  bool equal;
  if (l->ResultType() == rtBoolean || r->ResultType() == rtBoolean) {
    equal = l->AsBoolean() == r->AsBoolean();
  } else if (l->ResultType() != rtNumber && r->ResultType() != rtNumber) {
    equal = l->AsWideString() == r->AsWideString();
  } else {
    const double a = l->AsNumber();
    const double b = r->AsNumber();
    equal = a == b || (std::isnan(a) && std::isnan(b));
  }
  return equal != notEqual;
}

bool CompareRelation(const TDomXPathCustomResult& left, const TDomXPathCustomResult& right,
                     TDomXPathRelation relation) {
  const TDomXPathNodeSetResult* leftSet = AsNodeSet(left);
  const TDomXPathNodeSetResult* rightSet = AsNodeSet(right);
  if (leftSet && rightSet) {
    if (leftSet->Nodes().empty() || rightSet->Nodes().empty()) {
      return false;
    }
    // Strings are totally ordered: some pair holds exactly when the extreme pair does.
    const std::vector<WideString> a = StringValues(*leftSet);
    const std::vector<WideString> b = StringValues(*rightSet);
    const bool less = relation == reLess || relation == reLessOrEqual;
    const WideString& fromA =
        less ? *std::min_element(a.begin(), a.end()) : *std::max_element(a.begin(), a.end());
    const WideString& fromB =
        less ? *std::max_element(b.begin(), b.end()) : *std::min_element(b.begin(), b.end());
    return Holds<std::u16string_view>(fromA, fromB, relation);
  }
  if (leftSet) {
    return CompareNodeSetWithString(*leftSet, right.AsWideString(), relation, false);
  }
  if (rightSet) {
    return CompareNodeSetWithString(*rightSet, left.AsWideString(), relation, true);
  }
  return Holds<double>(left.AsNumber(), right.AsNumber(), relation);
}

} // namespace velmora
