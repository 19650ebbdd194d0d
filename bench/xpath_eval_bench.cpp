// Evaluating the converter's kind of queries on a generated backup of 19 MB, with this
// engine and, side by side in the same run, with libxml2's XPath engine on libxml2's own
// tree of the same file. The file is parsed by libxml2 and copied into a
// TDomDocumentXPath node by node through the DOM (our own parser is not used here); the
// loading is not timed.

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <vector>

#include "dom/element.h"
#include "dom/other_nodes.h"
#include "xpath/syntax_tree.h"
#include "xpath/xpath_expression.h"
#include "xpath/xpath_document.h"

namespace velmora {
namespace {

constexpr const char* kQueries[] = {
    "//Contact",
    "/Data/Folder/Folder[Folder/@name[1]='Contacts']",
    "//Number[@type='Mobile']",
    "count(//*)",
};

WideString Wide(const xmlChar* text) {
  return text ? NarrowToWide(reinterpret_cast<const char*>(text)) : WideString();
}

WideString QualifiedName(const xmlChar* name, const xmlNs* ns) {
  return ns && ns->prefix ? Wide(ns->prefix) + u":" + Wide(name) : Wide(name);
}

// The node of target that stands for source (without its children), or none for kinds
// an XPath document does not hold.
TDomNode* CopyShallow(xmlNode* source, TDomDocumentXPath* target) {
  switch (source->type) {
  case XML_ELEMENT_NODE: {
    auto* element = new TDomElement(target, Wide(source->ns ? source->ns->href : nullptr),
                                    QualifiedName(source->name, source->ns));
    for (const xmlNs* ns = source->nsDef; ns; ns = ns->next) {
      element->setAttributeNS(XmlnsNamespaceURI,
                              ns->prefix ? u"xmlns:" + Wide(ns->prefix) : WideString(u"xmlns"),
                              Wide(ns->href));
    }
    for (xmlAttr* attr = source->properties; attr; attr = attr->next) {
      xmlChar* value = xmlNodeListGetString(source->doc, attr->children, 1);
      element->setAttributeNS(Wide(attr->ns ? attr->ns->href : nullptr),
                              QualifiedName(attr->name, attr->ns), Wide(value));
      xmlFree(value);
    }
    return element;
  }
  case XML_TEXT_NODE:
  case XML_CDATA_SECTION_NODE: {
    TDomText* text =
        source->type == XML_TEXT_NODE ? new TDomText(target) : new TDomCDATASection(target);
    text->setNodeValue(Wide(source->content));
    return text;
  }
  case XML_COMMENT_NODE: {
    auto* comment = new TDomComment(target);
    comment->setNodeValue(Wide(source->content));
    return comment;
  }
  case XML_PI_NODE: {
    auto* instruction = new TDomProcessingInstruction(target, Wide(source->name));
    instruction->setNodeValue(Wide(source->content));
    return instruction;
  }
  default:
    return nullptr;
  }
}

// Copies the children of source's root into target, without recursion.
void CopyTree(xmlDoc* source, TDomDocumentXPath* target) {
  xmlNode* node = source->children;
  TDomNode* parent = target;
  while (node) {
    TDomNode* copy = CopyShallow(node, target);
    if (copy) {
      parent->appendChild(copy);
    }
    if (copy && node->children && node->type == XML_ELEMENT_NODE) {
      parent = copy;
      node = node->children;
      continue;
    }
    while (node && !node->next) {
      node = node->parent;
      parent = parent->parentNode();
      if (node && node->type == XML_DOCUMENT_NODE) {
        node = nullptr;
      }
    }
    if (node) {
      node = node->next;
    }
  }
}

// The backup, generated and loaded into both trees on first use.
class TBackup {
public:
  static TBackup& Get() {
    static TBackup backup;
    return backup;
  }
  bool Loaded() const { return FLibxml && FDocument; }
  xmlDoc* Libxml() const { return FLibxml; }
  TDomDocumentXPath* Document() const { return FDocument; }

private:
  TBackup() {
    std::error_code ignored;
    const std::filesystem::path path = std::filesystem::temp_directory_path(ignored) /
                                       ("velmora-xpath-" + std::to_string(::getpid()) + ".xml");
    const NarrowString command = NarrowString("python3 '") + VELMORA_BACKUP_GENERATOR +
                                 "' --devices 3 --backups 8 --contacts 5000 -o '" + path.string() +
                                 "'";
    if (std::system(command.c_str()) == 0) {
      FLibxml = xmlReadFile(path.c_str(), nullptr, 0);
    }
    std::filesystem::remove(path, ignored);
    if (!FLibxml) {
      return;
    }
    // libxml2's own speed-up for document order: it numbers the elements once.
    xmlXPathOrderDocElems(FLibxml);
    FDocument = new TDomDocumentXPath;
    CopyTree(FLibxml, FDocument);
  }
  ~TBackup() {
    if (FDocument) {
      FDocument->Free();
    }
    if (FLibxml) {
      xmlFreeDoc(FLibxml);
    }
  }

  xmlDoc* FLibxml = nullptr;
  TDomDocumentXPath* FDocument = nullptr;
};

// What a query gives: the number of nodes of a node set, else the number.
double Velmora(std::u16string_view query, TDomNode* context) {
  TDomXPathSyntaxTree tree;
  if (!tree.Prepare(query)) {
    return -1;
  }
  const TDomXPathResultPtr result = tree.Evaluate(context);
  return result->ResultType() == rtNodeSet ? result->Length() : result->AsNumber();
}

double Libxml(const char* query, xmlXPathContext* context) {
  xmlXPathObject* result = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(query), context);
  if (!result) {
    return -1;
  }
  const double value = result->type == XPATH_NODESET
                           ? (result->nodesetval ? result->nodesetval->nodeNr : 0)
                           : result->floatval;
  xmlXPathFreeObject(result);
  return value;
}

void BM_Velmora(benchmark::State& state, const char* query) {
  TBackup& backup = TBackup::Get();
  if (!backup.Loaded()) {
    state.SkipWithError("no backup file");
    return;
  }
  const WideString text = NarrowToWide(query);
  double value = Velmora(text, backup.Document()); // numbers the document (timed apart)
  for (auto _ : state) {
    value = Velmora(text, backup.Document());
  }
  state.counters["value"] = value;
}

// What the first query after a change of the tree pays once: numbering the document in
// document order, beside libxml2's numbering of its elements.
void BM_VelmoraNumbering(benchmark::State& state) {
  TBackup& backup = TBackup::Get();
  if (!backup.Loaded()) {
    state.SkipWithError("no backup file");
    return;
  }
  TDomNode* root = backup.Document()->documentElement();
  for (auto _ : state) {
    root->appendChild(root->removeChild(root->lastChild()));
    benchmark::DoNotOptimize(&backup.Document()->treeIndex());
  }
}

void BM_Libxml2Numbering(benchmark::State& state) {
  TBackup& backup = TBackup::Get();
  if (!backup.Loaded()) {
    state.SkipWithError("no backup file");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(xmlXPathOrderDocElems(backup.Libxml()));
  }
}

void BM_Libxml2(benchmark::State& state, const char* query) {
  TBackup& backup = TBackup::Get();
  if (!backup.Loaded()) {
    state.SkipWithError("no backup file");
    return;
  }
  xmlXPathContext* context = xmlXPathNewContext(backup.Libxml());
  double value = 0;
  for (auto _ : state) {
    value = Libxml(query, context);
  }
  xmlXPathFreeContext(context);
  state.counters["value"] = value;
}

// The export of one backup as the converter runs it: per contact a fresh expression object
// for each of its small queries ("Name[1]", "Text", "Number", then "text()" and "@type" per
// item), every node of each result read.
constexpr const char* kContactsOfFirstBackup =
    "(/Data/Folder/Folder[Folder/@name[1]='Contacts'])[1]/Folder/Contact";

size_t VelmoraSelect(TDomNode* context, const WideString& expression,
                     std::vector<TDomNode*>& nodes) {
  TOwned<TXPathExpression> query(new TXPathExpression);
  query->SetExpression(expression);
  query->SetContextNode(context);
  nodes.clear();
  if (query->Evaluate()) {
    for (int i = 0; i < query->ResultLength(); ++i) {
      nodes.push_back(query->ResultNode(i));
    }
  }
  return nodes.size();
}

void BM_VelmoraExport(benchmark::State& state) {
  TBackup& backup = TBackup::Get();
  if (!backup.Loaded()) {
    state.SkipWithError("no backup file");
    return;
  }
  const WideString name = u"Name[1]", text = u"Text", number = u"Number", texts = u"text()",
                   type = u"@type";
  std::vector<TDomNode*> contacts, items, nodes;
  VelmoraSelect(backup.Document(), NarrowToWide(kContactsOfFirstBackup), contacts);
  size_t queries = 0;
  for (auto _ : state) {
    queries = 0;
    for (TDomNode* contact : contacts) {
      queries += 3;
      VelmoraSelect(contact, name, nodes);
      for (const WideString* kind : {&text, &number}) {
        VelmoraSelect(contact, *kind, items);
        for (TDomNode* item : items) {
          queries += 2;
          VelmoraSelect(item, texts, nodes);
          VelmoraSelect(item, type, nodes);
        }
      }
    }
  }
  state.counters["contacts"] = static_cast<double>(contacts.size());
  state.counters["queries"] = benchmark::Counter(static_cast<double>(queries) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}

size_t LibxmlSelect(xmlNode* context, const char* expression, xmlXPathContext* xpath,
                    std::vector<xmlNode*>& nodes) {
  xpath->node = context;
  nodes.clear();
  xmlXPathObject* result =
      xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression), xpath);
  if (result && result->type == XPATH_NODESET && result->nodesetval) {
    nodes.assign(result->nodesetval->nodeTab,
                 result->nodesetval->nodeTab + result->nodesetval->nodeNr);
  }
  xmlXPathFreeObject(result);
  return nodes.size();
}

void BM_Libxml2Export(benchmark::State& state) {
  TBackup& backup = TBackup::Get();
  if (!backup.Loaded()) {
    state.SkipWithError("no backup file");
    return;
  }
  xmlXPathContext* xpath = xmlXPathNewContext(backup.Libxml());
  std::vector<xmlNode*> contacts, items, nodes;
  LibxmlSelect(reinterpret_cast<xmlNode*>(backup.Libxml()), kContactsOfFirstBackup, xpath,
               contacts);
  size_t queries = 0;
  for (auto _ : state) {
    queries = 0;
    for (xmlNode* contact : contacts) {
      queries += 3;
      LibxmlSelect(contact, "Name[1]", xpath, nodes);
      for (const char* kind : {"Text", "Number"}) {
        LibxmlSelect(contact, kind, xpath, items);
        for (xmlNode* item : items) {
          queries += 2;
          LibxmlSelect(item, "text()", xpath, nodes);
          LibxmlSelect(item, "@type", xpath, nodes);
        }
      }
    }
  }
  xmlXPathFreeContext(xpath);
  state.counters["contacts"] = static_cast<double>(contacts.size());
  state.counters["queries"] = benchmark::Counter(static_cast<double>(queries) *
                                                     static_cast<double>(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}

const bool kRegistered = [] {
  benchmark::RegisterBenchmark("Velmora/export of one backup", BM_VelmoraExport)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Libxml2/export of one backup", BM_Libxml2Export)
      ->Unit(benchmark::kMillisecond);
  for (const char* query : kQueries) {
    benchmark::RegisterBenchmark((std::string("Velmora/") + query).c_str(), BM_Velmora, query)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark((std::string("Libxml2/") + query).c_str(), BM_Libxml2, query)
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RegisterBenchmark("Velmora/numbering", BM_VelmoraNumbering)
      ->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("Libxml2/numbering", BM_Libxml2Numbering)
      ->Unit(benchmark::kMillisecond);
  return true;
}();

} // namespace
} // namespace velmora
