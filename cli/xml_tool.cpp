#include "cli/xml_tool.h"

#include <ostream>

#include "cli/xpath_query.h"
#include "docservice/html/html_to_xml.h"
#include "dom/document.h"
#include "runtime/exceptions.h"
#include "runtime/files.h"
#include "xml/canonical_writer.h"
#include "xml/error_texts.h"
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
    "usage: velmora-xml check FILE...\n"
    "       velmora-xml canon FILE\n"
    "       velmora-xml html FILE\n"
    "       velmora-xml xpath FILE EXPR...\n"
    "\n"
    "  check  parse each file and report its problems, one line each:\n"
    "         FILE:LINE:COLUMN: fatal|error|warning: message [kind]\n"
    "         exit status 1 when a file is not well-formed\n"
    "  canon  print the document in canonical form (UTF-8, attributes sorted,\n"
    "         no comments, nothing outside the root element but processing\n"
    "         instructions)\n"
    "  html   clean the HTML page in FILE with HTML Tidy into the XML that the\n"
    "         document service loads, and print it; exit status 1 with the\n"
    "         library's report when nothing could be made of it\n"
    "  xpath  load the file as the converter does and evaluate each expression\n"
    "         with the document as context node; print per expression (after a\n"
    "         line \"## EXPR\" when there are several) \"nodeset N\" and one path\n"
    "         per node, \"boolean B\", \"number V\", \"string \\\"S\\\"\" or \"error\";\n"
    "         exit status 1 when an expression failed\n";

// One line per error record, as compilers and linters write them.
NarrowString ErrorLine(const NarrowString& fileName, const TDomError& error) {
  const int64_t line = error.StartLine() < 0 ? 0 : error.StartLine();
  const int64_t column = error.StartColumn() < 0 ? 0 : error.StartColumn();
  return fileName + ":" + std::to_string(line) + ":" + std::to_string(column) + ": " +
         SeverityName(error.ErrorKind()) + ": " + ErrorMessage(error) + " [" +
         ErrorKindName(error.ErrorKind()) + "]";
}

// Parses fileName with every error record reported to report; the document or none.
template <class TReport>
TDomDocument* ParseReporting(TDomImplementation& implementation, TXmlToDomParser& parser,
                             const NarrowString& fileName, TReport report, NarrowString& failure) {
  implementation.OnError = [&](void*, const TDomError& error, bool&) { report(error); };
  try {
    return parser.ParseFile(fileName);
  } catch (const EParserException&) {
    failure.clear();
  } catch (const Exception& exception) {
    failure = exception.what();
  }
  return nullptr;
}

int Check(const std::vector<NarrowString>& files, std::ostream& out) {
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  TOwned<TXmlToDomParser> parser(new TXmlToDomParser);
  parser->SetDOMImpl(implementation.get());
  int result = kSuccess;
  for (const NarrowString& file : files) {
    NarrowString failure;
    TDomDocument* document = ParseReporting(
        *implementation, *parser, file,
        [&](const TDomError& error) { out << ErrorLine(file, error) << '\n'; }, failure);
    if (!document) {
      result = kFailure;
      if (!failure.empty()) {
        out << file << ":0:0: fatal: " << failure << '\n';
      }
      continue;
    }
    document->Free();
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
  TOwned<TTidy> tidy(new TTidy);
  ConfigureForXmlLoading(*tidy);
  NarrowString xml;
  try {
    xml = CleanHtmlToXml(*tidy, page);
  } catch (const Exception& failure) {
    err << file << ": " << failure.what() << '\n';
    return kFailure;
  }
  if (xml.empty()) {
    err << tidy->LibraryMessages();
    return kFailure;
  }
  out << xml;
  return kSuccess;
}

int XPath(const NarrowString& file, const std::vector<NarrowString>& expressions,
          std::ostream& out, std::ostream& err) {
  NarrowString content;
  if (const int code = ReadFileContent(file, content)) {
    err << file << ":0:0: fatal: " << SysErrorMessage(FileErrorCode(code, file)) << '\n';
    return kFailure;
  }
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  implementation->OnError = [&](void*, const TDomError& error, bool&) {
    err << ErrorLine(file, error) << '\n';
  };
  NarrowString failure;
  TDomDocumentXPath* document = LoadXPathDocument(*implementation, content, failure);
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
  return result; // the implementation frees the document
}

} // namespace

bool CanonicalFormOfFile(const NarrowString& fileName, NarrowString& form, NarrowString& error) {
  TOwned<TDomImplementation> implementation(new TDomImplementation);
  TOwned<TXmlToDomParser> parser(new TXmlToDomParser);
  parser->SetDOMImpl(implementation.get());
  // The canonical form knows no CDATA sections, comments or predefined entity references.
  parser->SetKeepCDATASections(false);
  parser->SetKeepComments(false);
  parser->SetKeepEntityRefs(false);
  error.clear();
  NarrowString failure;
  TDomDocument* document = ParseReporting(
      *implementation, *parser, fileName,
      [&](const TDomError& record) { error += ErrorLine(fileName, record) + "\n"; }, failure);
  if (!document) {
    if (!failure.empty()) {
      error += fileName + ":0:0: fatal: " + failure + "\n";
    }
    return false;
  }
  try {
    form = CanonicalForm(document);
  } catch (const Exception& exception) {
    error = fileName + ":0:0: fatal: " + exception.what() + "\n";
    document->Free();
    return false;
  }
  document->Free();
  return true;
}

int RunXmlTool(const std::vector<NarrowString>& arguments, std::ostream& out, std::ostream& err) {
  if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
    out << kUsageText;
    return kSuccess;
  }
  if (arguments.size() >= 2 && arguments[0] == "check") {
    return Check(std::vector<NarrowString>(arguments.begin() + 1, arguments.end()), out);
  }
  if (arguments.size() >= 3 && arguments[0] == "xpath") {
    return XPath(arguments[1], std::vector<NarrowString>(arguments.begin() + 2, arguments.end()),
                 out, err);
  }
  if (arguments.size() == 2 && arguments[0] == "canon") {
    return Canon(arguments[1], out, err);
  }
  if (arguments.size() == 2 && arguments[0] == "html") {
    return Html(arguments[1], out, err);
  }
  err << kUsageText;
  return kUsage;
}

} // namespace velmora
