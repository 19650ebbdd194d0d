#include "cli/xml_tool.h"

#include <ostream>
#include <sstream>

#include "cli/node_places.h"
#include "cli/xpath_query.h"
#include "docservice/html/html_to_xml.h"
#include "dom/document.h"
#include "runtime/exceptions.h"
#include "runtime/files.h"
#include "xml/canonical_writer.h"
#include "xml/dom_builder.h"
#include "xml/dtd_validation_agent.h"
#include "xml/error_texts.h"
#include "xml/resource_resolvers.h"
#include "xml/wf_test_handler.h"
#include "xml/xml_to_dom_parser.h"
#include "xpath/node_paths.h"
#include "xpath/xpath_document.h"
#include "xpath/xpath_expression.h"

namespace velmora {

namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: velmora-xml check [--external] FILE...\n"
    "       velmora-xml validate FILE...\n"
    "       velmora-xml canon FILE\n"
    "       velmora-xml html FILE [--xpath EXPR...]\n"
    "       velmora-xml xpath FILE EXPR...\n"
    "\n"
    "  check     parse each file and report its problems, one line each:\n"
    "            FILE:LINE:COLUMN: fatal|error|warning: message [kind]\n"
    "            exit status 1 when a file is not well-formed; with --external\n"
    "            the external subset and external entities are read too\n"
    "  validate  parse each file with its external subset and entities and\n"
    "            validate it against its document type declaration; exit\n"
    "            status 1 when a file is not valid\n"
    "  canon     print the document in canonical form (UTF-8, attributes sorted,\n"
    "            entity references expanded, declared defaults added, no\n"
    "            comments, nothing outside the root element but processing\n"
    "            instructions)\n"
    "  html      clean the HTML page in FILE with HTML Tidy into the XML that the\n"
    "            document service loads, and print it; exit status 1 with the\n"
    "            library's report when nothing could be made of it; with --xpath\n"
    "            load the cleaned page as the converter loads HTML and evaluate\n"
    "            each expression as xpath does\n"
    "  xpath     load the file as the converter does and evaluate each expression\n"
    "            with the document as context node; print per expression (after a\n"
    "            line \"## EXPR\" when there are several) \"nodeset N\" and one path\n"
    "            per node, \"boolean B\", \"number V\", \"string \\\"S\\\"\" or \"error\";\n"
    "            exit status 1 when an expression failed\n";

// One line per error record, as compilers and linters write them. A record of a check on
// the finished document has no place of its own: it takes its node's, when places are known.
NarrowString ErrorLine(const NarrowString& fileName, const TDomError& error,
                       TXmlNodePlaces* places = nullptr) {
  int64_t line = error.StartLine();
  int64_t column = error.StartColumn();
  if (line < 0 && places) {
    places->Find(error.DomNode(), line, column);
  }
  line = line < 0 ? 0 : line;
  column = column < 0 ? 0 : column;
  return fileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
         SeverityName(error.ErrorKind()) + ": " + ErrorMessage(error) + " [" +
         ErrorKindName(error.ErrorKind()) + "]";
}

// One file read into a document, every error record written to out as a line. With
// readExternal the external subset and entities are read, resolved against the file's URI.
class TFileDocument {
public:
  TFileDocument(const NarrowString& fileName, bool readExternal, bool canonical,
                std::ostream& out)
      : FFileName(fileName), FOut(out) {
    FParser->SetDOMImpl(FImplementation.get());
    FParser->TestHandler()->SetNextHandler(FPlaces.get());
    // Found while reading, such a reference is reported with its line and column.
    FParser->TestHandler()->SetPredefinedEntitiesOnly(true);
    if (readExternal) {
      FImplementation->SetResourceResolver(FResolver.get());
      FParser->Builder()->SetDocTypeDeclTreatment(dtCheckValidity);
    }
    if (canonical) {
      // The canonical form knows no CDATA sections, comments or predefined references.
      FParser->SetKeepCDATASections(false);
      FParser->SetKeepComments(false);
      FParser->SetKeepEntityRefs(false);
    }
    FImplementation->OnError = [this](void*, const TDomError& error, bool&) {
      FOut << ErrorLine(FFileName, error, FPlaces.get()) << '\n';
    };
    FImplementation->OnNodeClearing = [this](void*, TDomNode* node) { FPlaces->Forget(node); };
    try {
      FDocument = FParser->ParseFile(fileName);
    } catch (const EParserException&) {
      // its records said why
    } catch (const std::exception& exception) {
      Fail(FailureText(exception).c_str());
    }
  }
  ~TFileDocument() {
    // The whole document goes: no place needs forgetting.
    FImplementation->OnNodeClearing = nullptr;
    if (FDocument) {
      FDocument->Free();
    }
  }
  TFileDocument(const TFileDocument&) = delete;
  TFileDocument& operator=(const TFileDocument&) = delete;

  TDomDocument* Document() const { return FDocument; }
  void Fail(const char* reason) { FOut << FFileName << ":0:0: fatal: " << reason << '\n'; }

private:
  NarrowString FFileName;
  std::ostream& FOut;
  TOwned<TDomImplementation> FImplementation{new TDomImplementation};
  TOwned<TStandardResourceResolver> FResolver{new TStandardResourceResolver};
  TOwned<TXmlToDomParser> FParser{new TXmlToDomParser};
  TOwned<TXmlNodePlaces> FPlaces{new TXmlNodePlaces(FParser->Builder())};
  TDomDocument* FDocument = nullptr;
};

int Check(const std::vector<NarrowString>& arguments, std::ostream& out) {
  const bool external = arguments.front() == "--external";
  int result = kSuccess;
  for (size_t i = external ? 1 : 0; i < arguments.size(); ++i) {
    if (!CheckFile(arguments[i], external, out)) {
      result = kFailure;
    }
  }
  return result;
}

int Validate(const std::vector<NarrowString>& files, std::ostream& out) {
  int result = kSuccess;
  for (const NarrowString& file : files) {
    if (!ValidateFile(file, out)) {
      result = kFailure;
    }
  }
  return result;
}

int Canon(const NarrowString& file, std::ostream& out, std::ostream& err) {
  NarrowString form;
  NarrowString error;
  if (!CanonicalFormOfFile(file, form, error)) {
    err << error;
    return kFailure;
  }
  out << form;
  return kSuccess;
}

int Html(const NarrowString& file, std::ostream& out, std::ostream& err) {
  NarrowString page;
  if (const int error = ReadFileContent(file, page); error != 0) {
    err << file << ": " << SysErrorMessage(FileErrorCode(error, file)) << '\n';
    return kFailure;
  }
  THtmlToXml cleaner;
  NarrowString xml;
  try {
    xml = cleaner.Clean(page);
  } catch (const std::exception& failure) {
    err << file << ": " << FailureText(failure) << '\n';
    return kFailure;
  }
  if (xml.empty()) {
    err << cleaner.Messages();
    return kFailure;
  }
  out << xml;
  return kSuccess;
}

int XPath(const NarrowString& file, const std::vector<NarrowString>& expressions,
          TParserType parserType, std::ostream& out, std::ostream& err) {
  NarrowString content;
  if (const int code = ReadFileContent(file, content)) {
    err << file << ":0:0: fatal: " << SysErrorMessage(FileErrorCode(code, file)) << '\n';
    return kFailure;
  }
  TOwned<TvxDomImplementation> service(new TvxDomImplementation);
  service->OnError = [&](void*, const TDomError& error, bool&) {
    err << ErrorLine(file, error) << '\n';
  };
  NarrowString failure;
  TDomDocumentXPath* document = LoadXPathDocument(*service, content, parserType, failure);
  if (!document) {
    err << file << ":0:0: fatal: " << failure << '\n';
    return kFailure;
  }
  TOwned<TXPathExpression> query(new TXPathExpression);
  query->SetContextNode(document);
  TDomXPathNodePaths paths;
  int result = kSuccess;
  for (const NarrowString& expression : expressions) {
    if (expressions.size() > 1) {
      out << "## " << expression << '\n';
    }
    query->SetExpression(NarrowToWide(expression));
    const bool evaluated = query->Evaluate();
    out << XPathResultText(*query, evaluated, paths);
    result = evaluated ? result : kFailure;
  }
  return result; // the service frees the document
}

} // namespace

bool CheckFile(const NarrowString& fileName, bool readExternal, std::ostream& out) {
  TFileDocument file(fileName, readExternal, false, out);
  if (!file.Document()) {
    return false;
  }
  // References to undeclared, recursive or unparsed entities are found only by expanding
  // them, with the declarations at hand.
  try {
    return file.Document()->validationAgent().ExpandDocument(
        readExternal ? TDtdValidationAgent::eoReadExternal : 0);
  } catch (const std::exception& exception) {
    file.Fail(FailureText(exception).c_str());
    return false;
  }
}

bool ValidateFile(const NarrowString& fileName, std::ostream& out) {
  TFileDocument file(fileName, true, false, out);
  if (!file.Document()) {
    return false;
  }
  try {
    return file.Document()->validationAgent().ValidateDocument(etReplace);
  } catch (const std::exception& exception) {
    file.Fail(FailureText(exception).c_str());
    return false;
  }
}

bool CanonicalFormOfFile(const NarrowString& fileName, NarrowString& form, NarrowString& error) {
  std::ostringstream records;
  TFileDocument file(fileName, true, true, records);
  bool done = file.Document() != nullptr;
  if (done) {
    try {
      done = file.Document()->validationAgent().ExpandDocument(TDtdValidationAgent::eoReadExternal |
                                                              TDtdValidationAgent::eoAddDefaults);
      if (done) {
        form = CanonicalForm(file.Document());
      }
    } catch (const std::exception& exception) {
      file.Fail(FailureText(exception).c_str());
      done = false;
    }
  }
  error = records.str();
  return done;
}

int RunXmlTool(const std::vector<NarrowString>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsageText;
    return kSuccess;
  }
  const std::vector<NarrowString> rest(arguments.empty() ? arguments.end() : arguments.begin() + 1,
                                       arguments.end());
  if (!arguments.empty() && arguments[0] == "check" && !rest.empty() &&
      !(rest.size() == 1 && rest[0] == "--external")) {
    return Check(rest, out);
  }
  if (!arguments.empty() && arguments[0] == "validate" && !rest.empty()) {
    return Validate(rest, out);
  }
  if (arguments.size() >= 3 && arguments[0] == "xpath") {
    return XPath(arguments[1], std::vector<NarrowString>(arguments.begin() + 2, arguments.end()),
                 ptXml, out, err);
  }
  if (arguments.size() == 2 && arguments[0] == "canon") {
    return Canon(arguments[1], out, err);
  }
  if (arguments.size() >= 4 && arguments[0] == "html" && arguments[2] == "--xpath") {
    return XPath(arguments[1], std::vector<NarrowString>(arguments.begin() + 3, arguments.end()),
                 ptHtml, out, err);
  }
  if (arguments.size() == 2 && arguments[0] == "html") {
    return Html(arguments[1], out, err);
  }
  err << kUsageText;
  return kUsage;
}

} // namespace velmora
