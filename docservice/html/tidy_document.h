#pragma once
// The library side of TTidy: the current document with its error sink and the input
// buffer. Shared by the wrapper's sources only.

#include "docservice/html/tidy.h"
#include "docservice/html/tidy_library.h"

namespace velmora {

struct TTidy::TLibrary {
  // Declared before the document, which writes into it: released after it.
  std::unique_ptr<TTidyBuffer> Errors;
  TTidyDocument Doc;
  TTidyBuffer Input;

  TidyDoc doc() const { return Doc.get(); }
};

// Sets an encoding option by name for the life of the scope and restores it afterwards:
// the library parses its own output in the encoding it wrote it.
class TEncodingScope {
public:
  TEncodingScope(TidyDoc doc, TidyOptionId option, std::string_view name);
  ~TEncodingScope();
  TEncodingScope(const TEncodingScope&) = delete;
  TEncodingScope& operator=(const TEncodingScope&) = delete;

private:
  TidyDoc FDoc;
  TidyOptionId FOption;
  NarrowString FSaved;
};

} // namespace velmora
