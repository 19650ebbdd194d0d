// This engine against libxml2's XPath engine on random documents and expressions. The
// generator stays clear of the places where the two differ by design: no CDATA sections or
// namespaces, no node-set comparisons with numbers or Booleans, no relational comparisons
// with node sets, strings handed to functions through string() or string-valued calls, no
// division by zero, no number written with a trailing point, numbers never turned into
// strings, ASCII only, no lang() or id(), and absolute paths inside expressions in
// parentheses. Node sets compare as sets of node paths, numbers numerically.

#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cli/xpath_query.h"
#include "dom/dom_implementation.h"
#include "runtime/component.h"
#include "xpath/node_paths.h"
#include "xpath/xpath_document.h"
#include "xpath/xpath_expression.h"

namespace velmora::testing {
namespace {

constexpr unsigned kSeed = 20240515;
constexpr int kDocuments = 40;
constexpr int kExpressionsPerDocument = 75;

class TGenerator {
public:
  explicit TGenerator(unsigned seed) : FRandom(seed) {}

  std::string Document() {
    std::string text = "<?xml version='1.0'?>";
    if (Chance(3)) {
      text += "<!--" + Word() + "-->";
    }
    Element(text, 0);
    if (Chance(3)) {
      text += "<?pi " + Word() + "?>";
    }
    return text;
  }

  // An expression of a random type.
  std::string Expression() {
    switch (Below(4)) {
    case 0:
      return NodeSet(3);
    case 1:
      return String(3);
    case 2:
      return Number(3);
    default:
      return Boolean(3);
    }
  }

private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRandom); }
  bool Chance(int oneIn) { return Below(oneIn) == 0; }
  template <size_t n> const char* Pick(const char* const (&choices)[n]) {
    return choices[Below(static_cast<int>(n))];
  }

  // No "e" or "E" (libxml2 reads exponents in numbers), no point at an end.
  std::string Word() {
    static const char* const kWords[] = {"1", "2.5", "-3", " 4 ", "0.25", "abc", "x y", "ab", "zz",
                                         "c", "10", ".5", "bad", "b a"};
    return Pick(kWords);
  }

  void Element(std::string& text, int depth) {
    static const char* const kNames[] = {"a", "b", "c", "d"};
    const std::string name = Pick(kNames);
    text += "<" + name;
    if (Chance(2)) {
      text += " x='" + Word() + "'";
    }
    if (Chance(3)) {
      text += " y='" + Word() + "'";
    }
    text += ">";
    const int children = depth > 3 ? 0 : Below(5);
    bool lastWasText = false;
    for (int i = 0; i < children; ++i) {
      switch (Below(depth < 2 ? 3 : 6)) {
      case 0:
      case 1:
      case 2:
        Element(text, depth + 1);
        lastWasText = false;
        break;
      case 3:
        if (!lastWasText) {
          text += Word();
          lastWasText = true;
        }
        break;
      case 4:
        text += "<!--" + Word() + "-->";
        lastWasText = false;
        break;
      default:
        text += std::string("<?") + Pick(kNames) + " " + Word() + "?>";
        lastWasText = false;
      }
    }
    text += "</" + name + ">";
  }

  std::string Step() {
    static const char* const kAxes[] = {
        "",           "",          "",          "child::",           "descendant::",
        "parent::",   "ancestor::", "following-sibling::", "preceding-sibling::", "following::",
        "preceding::", "self::",    "descendant-or-self::", "ancestor-or-self::", "@"};
    static const char* const kTests[] = {"a", "b", "c", "*", "node()", "text()", "comment()",
                                         "processing-instruction()", "d"};
    const std::string axis = Pick(kAxes);
    std::string step = axis == "@" ? std::string("@") + Pick({"x", "y", "*"}) : axis + Pick(kTests);
    if (Chance(3)) {
      step += "[" + Predicate() + "]";
    }
    return step;
  }

  std::string Predicate() {
    switch (Below(7)) {
    case 0:
      return std::to_string(1 + Below(3));
    case 1:
      return "last()";
    case 2:
      return std::string("position() ") + Pick({"<", ">", "=", "!="}) + " " +
             std::to_string(1 + Below(3));
    case 3:
      return std::string("@") + Pick({"x", "y"});
    case 4:
      return std::string(Pick({"@x", "@y", "text()", "."})) + " = '" + Word() + "'";
    case 5:
      return "count(" + RelativePath(1) + ") > " + std::to_string(Below(3));
    default:
      return Boolean(1);
    }
  }

  std::string RelativePath(int depth) {
    std::string path = Step();
    for (int steps = Below(3); steps > 0; --steps) {
      path += Pick({"/", "//"}) + Step();
    }
    if (depth > 0 && Chance(5)) {
      path = ".." + std::string("/") + path;
    }
    return path;
  }

  std::string NodeSet(int depth) {
    switch (depth <= 0 ? Below(2) : Below(6)) {
    case 0:
      return RelativePath(depth);
    case 1:
      return std::string("(") + Pick({"/", "//"}) + RelativePath(depth) + ")";
    case 2:
      return NodeSet(depth - 1) + " | " + NodeSet(depth - 1);
    case 3:
      return "(" + NodeSet(depth - 1) + ")[" + Predicate() + "]";
    case 4:
      return "(" + NodeSet(depth - 1) + ")/" + RelativePath(depth - 1);
    default:
      return "(//*)";
    }
  }

  std::string String(int depth) {
    if (depth <= 0) {
      return "'" + Word() + "'";
    }
    const std::string s = String(depth - 1);
    switch (Below(12)) {
    case 0:
      return "'" + Word() + "'";
    case 1:
      return "string(" + NodeSet(depth - 1) + ")";
    case 2:
      return "concat(" + s + ", " + String(depth - 1) + ")";
    case 3:
      return "substring(" + s + ", " + Number(depth - 1) + ")";
    case 4:
      return "substring(" + s + ", " + Number(depth - 1) + ", " + Number(depth - 1) + ")";
    case 5:
      return std::string(Pick({"substring-before(", "substring-after("})) + s + ", " +
             String(depth - 1) + ")";
    case 6:
      return "translate(" + s + ", '" + Word() + "', '" + Word() + "')";
    case 7:
      return "normalize-space(" + s + ")";
    case 8:
      return std::string(Pick({"local-name(", "name(", "namespace-uri("})) + NodeSet(depth - 1) +
             ")";
    case 9:
      return "string(" + Boolean(depth - 1) + ")";
    default:
      return "string(" + NodeSet(depth - 1) + ")";
    }
  }

  std::string Number(int depth) {
    if (depth <= 0) {
      return std::to_string(Below(5)) + Pick({"", ".5", ".25"});
    }
    switch (Below(11)) {
    case 0:
      return std::to_string(Below(5)) + Pick({"", ".5", ".25"});
    case 1:
      return "count(" + NodeSet(depth - 1) + ")";
    case 2:
      return "sum(" + NodeSet(depth - 1) + ")";
    case 3:
      return "string-length(" + String(depth - 1) + ")";
    case 4:
      return "number(" + String(depth - 1) + ")";
    case 5:
      return "number(" + NodeSet(depth - 1) + ")";
    case 6:
      return "(" + Number(depth - 1) + Pick({" + ", " - ", " * "}) + Number(depth - 1) + ")";
    case 7:
      return "(" + Number(depth - 1) + Pick({" div ", " mod "}) + std::to_string(1 + Below(4)) +
             ")";
    case 8:
      return std::string(Pick({"floor(", "ceiling(", "round("})) + Number(depth - 1) + ")";
    case 9:
      return "-" + Number(depth - 1);
    default:
      return "number(" + Boolean(depth - 1) + ")";
    }
  }

  // A number that is never NaN: NaN = NaN holds here, unlike in libxml2.
  std::string CountedNumber(int depth) {
    switch (depth <= 0 ? 0 : Below(4)) {
    case 0:
      return std::to_string(Below(5)) + Pick({"", ".5"});
    case 1:
      return "count(" + NodeSet(depth - 1) + ")";
    case 2:
      return "string-length(" + String(depth - 1) + ")";
    default:
      return "(" + CountedNumber(depth - 1) + Pick({" + ", " - ", " * "}) +
             CountedNumber(depth - 1) + ")";
    }
  }

  // Comparisons are parenthesized: a chain would compare a Boolean with a node set.
  std::string Boolean(int depth) {
    if (depth <= 0) {
      return Pick({"true()", "false()"});
    }
    const auto group = [](const std::string& a, const char* op, const std::string& b) {
      return "(" + a + op + b + ")";
    };
    switch (Below(12)) {
    case 0:
      return "not(" + Boolean(depth - 1) + ")";
    case 1:
      return group(Boolean(depth - 1), Pick({" and ", " or "}), Boolean(depth - 1));
    case 2:
      return group(Number(depth - 1), Pick({" < ", " <= ", " > ", " >= "}), Number(depth - 1));
    case 3:
      return group(CountedNumber(depth - 1), Pick({" = ", " != "}), CountedNumber(depth - 1));
    case 4:
      return group(String(depth - 1), Pick({" = ", " != "}), String(depth - 1));
    case 5:
      return group(NodeSet(depth - 1), Pick({" = ", " != "}), String(depth - 1));
    case 6:
      return group(NodeSet(depth - 1), Pick({" = ", " != "}), NodeSet(depth - 1));
    case 7:
      return std::string(Pick({"contains(", "starts-with("})) + String(depth - 1) + ", " +
             String(depth - 1) + ")";
    case 8:
      return "boolean(" + NodeSet(depth - 1) + ")";
    case 9:
      return "boolean(" + Number(depth - 1) + ")";
    case 10:
      return group(Boolean(depth - 1), Pick({" = ", " != "}), Boolean(depth - 1));
    default:
      return Pick({"true()", "false()"});
    }
  }

  std::mt19937 FRandom;
};

// A libxml2 node's path in the form of TDomXPathNodePaths.
std::string LibxmlPath(const xmlNode* node) {
  std::vector<std::string> steps;
  for (; node && node->type != XML_DOCUMENT_NODE; node = node->parent) {
    const std::string name = node->name ? reinterpret_cast<const char*>(node->name) : "";
    if (node->type == XML_ATTRIBUTE_NODE) {
      steps.push_back("@" + name);
      continue;
    }
    int position = 1;
    for (const xmlNode* sibling = node->prev; sibling; sibling = sibling->prev) {
      const bool sameName = !sibling->name || !node->name || xmlStrEqual(sibling->name, node->name);
      position += sibling->type == node->type &&
                  (node->type == XML_TEXT_NODE || node->type == XML_COMMENT_NODE || sameName);
    }
    const std::string index = "[" + std::to_string(position) + "]";
    switch (node->type) {
    case XML_TEXT_NODE:
      steps.push_back("text()" + index);
      break;
    case XML_COMMENT_NODE:
      steps.push_back("comment()" + index);
      break;
    case XML_PI_NODE:
      steps.push_back("processing-instruction(" + name + ")" + index);
      break;
    default:
      steps.push_back(name + index);
    }
  }
  std::string path;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    path += "/" + *step;
  }
  return path.empty() ? "/" : path;
}

// Both engines' answers in one comparable form.
struct TAnswer {
  std::string Kind; // "nodeset", "boolean", "number", "string" or "error"
  std::multiset<std::string> Nodes;
  double Number = 0;
  std::string Text;

  bool operator==(const TAnswer& other) const {
    if (Kind != other.Kind) {
      return false;
    }
    if (Kind == "number") {
      return (std::isnan(Number) && std::isnan(other.Number)) ||
             std::fabs(Number - other.Number) <= 1e-12 * std::max(1.0, std::fabs(Number));
    }
    return Nodes == other.Nodes && Text == other.Text;
  }
};

std::ostream& operator<<(std::ostream& out, const TAnswer& answer) {
  out << answer.Kind << " " << answer.Number << " \"" << answer.Text << "\"";
  for (const std::string& node : answer.Nodes) {
    out << " " << node;
  }
  return out;
}

TAnswer Ours(TXPathExpression& query, TDomXPathNodePaths& paths) {
  TAnswer answer;
  if (!query.Evaluate()) {
    answer.Kind = "error";
    return answer;
  }
  switch (query.Result()->ResultType()) {
  case rtNodeSet:
    answer.Kind = "nodeset";
    for (int i = 0; i < query.ResultLength(); ++i) {
      answer.Nodes.insert(WideToNarrow(paths.Of(query.ResultNode(i))));
    }
    break;
  case rtBoolean:
    answer.Kind = "boolean";
    answer.Text = query.AsBoolean() ? "true" : "false";
    break;
  case rtNumber:
    answer.Kind = "number";
    answer.Number = query.AsNumber();
    break;
  default:
    answer.Kind = "string";
    answer.Text = WideToNarrow(query.AsWideString());
  }
  return answer;
}

TAnswer Theirs(const std::string& expression, xmlXPathContext* context) {
  TAnswer answer;
  xmlXPathObject* result =
      xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), context);
  if (!result) {
    answer.Kind = "error";
    return answer;
  }
  switch (result->type) {
  case XPATH_NODESET:
    answer.Kind = "nodeset";
    for (int i = 0; result->nodesetval && i < result->nodesetval->nodeNr; ++i) {
      answer.Nodes.insert(LibxmlPath(result->nodesetval->nodeTab[i]));
    }
    break;
  case XPATH_BOOLEAN:
    answer.Kind = "boolean";
    answer.Text = result->boolval ? "true" : "false";
    break;
  case XPATH_NUMBER:
    answer.Kind = "number";
    answer.Number = result->floatval;
    break;
  case XPATH_STRING:
    answer.Kind = "string";
    answer.Text = reinterpret_cast<const char*>(result->stringval);
    break;
  default:
    answer.Kind = "other";
  }
  xmlXPathFreeObject(result);
  return answer;
}

void Quiet(void*, const xmlError*) {}

TEST(XPathDifferential, AgreesWithLibxml2) {
  xmlSetStructuredErrorFunc(nullptr, reinterpret_cast<xmlStructuredErrorFunc>(Quiet));
  TGenerator generator(kSeed);
  int compared = 0;
  for (int d = 0; d < kDocuments; ++d) {
    const std::string text = generator.Document();
    xmlDoc* theirs = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr, 0);
    ASSERT_NE(theirs, nullptr) << text;
    TOwned<TvxDomImplementation> service(new TvxDomImplementation);
    NarrowString error;
    TDomDocumentXPath* ours = LoadXPathDocument(*service, text, ptXml, error);
    ASSERT_NE(ours, nullptr) << text << ": " << error;
    xmlXPathContext* context = xmlXPathNewContext(theirs);
    context->node = reinterpret_cast<xmlNode*>(theirs);
    TOwned<TXPathExpression> query(new TXPathExpression);
    query->SetContextNode(ours);
    TDomXPathNodePaths paths;
    for (int e = 0; e < kExpressionsPerDocument; ++e) {
      const std::string expression = generator.Expression();
      query->SetExpression(NarrowToWide(expression));
      const TAnswer mine = Ours(*query, paths);
      const TAnswer peer = Theirs(expression, context);
      EXPECT_EQ(mine, peer) << "expression: " << expression << "\ndocument: " << text;
      ++compared;
    }
    xmlXPathFreeContext(context);
    xmlFreeDoc(theirs);
  }
  EXPECT_EQ(compared, kDocuments * kExpressionsPerDocument);
  xmlSetStructuredErrorFunc(nullptr, nullptr);
}

} // namespace
} // namespace velmora::testing
