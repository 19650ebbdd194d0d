#pragma once
// Test support for signal chains: a handler that writes down every signal it receives in a
// short text form, and a parse of a text through reader, well-formedness handler and
// recorder that collects the signals and the error records.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "runtime/strings.h"
#include "xml/doc_reader.h"
#include "xml/input_sources.h"
#include "xml/wf_test_handler.h"

namespace velmora::testing {

// One signal as text: "start", "<a", "@x=1", "t:text", "r:A" (character reference),
// "cd:text", "c:text", "?target|data", "&name", "/a", "!name|public|system|subset",
// "pm:p=uri", "/pm:p", "end", "abort"; in a DTD "ext:system|public|encoding|version",
// "int:system|standalone", "E:name|content model", "A:element|name|type|default kind|default|tokens",
// "G:name|value|public|system|notation", "P:name|value|public|system",
// "N:name|public|system", "%name" (a reference left unread), "pe" (a reference found); a
// declaration read inside a parameter entity has "%" before the colon ("E%:a|ANY").
std::string SignalText(const TXmlSignal& signal);

class TSignalRecorder final : public TXmlCustomHandler {
public:
  void ProcessSignal(TXmlSignal& signal) override { Signals.push_back(SignalText(signal)); }
  std::vector<std::string> Signals;
};

// One error record: kind, snippet and clue, line and column of its start.
struct TRecordedError {
  int Kind;
  std::string Snippet;
  std::string Clue;
  int64_t StartLine;
  int64_t StartColumn;
  int64_t EndLine;
  int64_t EndColumn;
};

struct TParseRecord {
  bool Completed = false;
  std::vector<std::string> Signals;
  std::vector<TRecordedError> Errors;
  // The system identifiers of the external entities opened (subsets only).
  std::vector<std::string> Opened;
  // The error kinds alone.
  std::vector<int> Kinds() const;
};

// Parses bytes as a document (or a fragment) through a TXmlInputSource; with tolerant,
// the implementation lets reading go on after every error.
TParseRecord ParseThroughChain(std::string_view bytes, bool tolerant = false,
                               bool fragment = false);

// How a DTD subset is read: which one, whether external parameter entities are read
// (internal subset), the standalone declaration, and the external entities there are, by
// system identifier ("file:///dtd/" + name for a relative one).
struct TSubsetOptions {
  bool External = false;
  bool ReadExternal = true;
  bool Tolerant = false;
  uint8_t Standalone = 2; // sdUnspecified
  std::map<std::string, std::string> Files;
};

// Reads text as a DTD subset through the DTD reader, the well-formedness handler and a
// recorder; the subset's own system identifier is "file:///dtd/doc.dtd".
TParseRecord ParseSubsetThroughChain(std::string_view text, const TSubsetOptions& options = {});

} // namespace velmora::testing
