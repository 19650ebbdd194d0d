#pragma once
// Test support for signal chains: a handler that writes down every signal it receives in a
// short text form, and a parse of a text through reader, well-formedness handler and
// recorder that collects the signals and the error records.

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
// "pm:p=uri", "/pm:p", "end", "abort".
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
  // The error kinds alone.
  std::vector<int> Kinds() const;
};

// Parses bytes as a document (or a fragment) through a TXmlInputSource; with tolerant,
// the implementation lets reading go on after every error.
TParseRecord ParseThroughChain(std::string_view bytes, bool tolerant = false,
                               bool fragment = false);

} // namespace velmora::testing
