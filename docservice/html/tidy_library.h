#pragma once
// The HTML Tidy library behind owners that release what it hands out on every path, and
// the mapping of its numbering onto the wrapper's. Only the wrapper's own sources include
// this header. The library's enumerators live in the global namespace and some share
// their names with the wrapper's (TidyInfo, TidyKeepFirst): library ones are written with
// "::" here.

#include <tidy/tidy.h>
#include <tidy/tidybuffio.h>

#include <memory>
#include <string_view>

#include "docservice/html/tidy_types.h"
#include "runtime/strings.h"

namespace velmora {

// The memory of one library document: every block the document allocates is listed, and
// what the library leaves behind when the document is released (it does so for some
// malformed pages) is freed with it.
class TTidyMemory;
struct TTidyMemoryRelease {
  void operator()(TTidyMemory* memory) const noexcept;
};

// A library document over its own memory, released with its owner.
class TTidyDocument {
public:
  TTidyDocument() = default;
  static TTidyDocument Create();
  TTidyDocument(TTidyDocument&& other) noexcept = default;
  TTidyDocument& operator=(TTidyDocument&& other) noexcept;
  ~TTidyDocument() { Release(); }

  TidyDoc get() const { return FDoc; }

private:
  void Release() noexcept;

  std::unique_ptr<TTidyMemory, TTidyMemoryRelease> FMemory;
  TidyDoc FDoc = nullptr;
};

// A library buffer, freed with its owner. The library keeps its address while the buffer
// is attached to a document, so it never moves.
class TTidyBuffer {
public:
  TTidyBuffer() { tidyBufInit(&FBuffer); }
  ~TTidyBuffer() { tidyBufFree(&FBuffer); }
  TTidyBuffer(const TTidyBuffer&) = delete;
  TTidyBuffer& operator=(const TTidyBuffer&) = delete;

  TidyBuffer* get() { return &FBuffer; }
  std::string_view Text() const {
    return FBuffer.bp ? std::string_view(reinterpret_cast<const char*>(FBuffer.bp), FBuffer.size)
                      : std::string_view();
  }
  void Assign(std::string_view bytes);
  void Clear() { tidyBufClear(&FBuffer); }

private:
  TidyBuffer FBuffer;
};

// A Boolean option of ours may be an integer (auto, yes, no) in the library: such options
// read non-zero as true and are set to 1 or 0. An option the library lacks
// (TidyUnknownOption) reads false and ignores writes.
bool GetFlagOption(TidyDoc doc, TidyOptionId option);
void SetFlagOption(TidyDoc doc, TidyOptionId option, bool value);
// The value of a string option; empty when it has none.
NarrowString GetStringOption(TidyDoc doc, TidyOptionId option);

// The library's names and numbers of our encodings.
std::string_view LibraryEncodingName(TidyEncodingID encoding);
TidyEncodingID EncodingFromLibrary(unsigned long value);

// A report level of the library as ours; false for the dialogue levels beyond reports
// (summaries and footnotes).
bool ReportLevelFromLibrary(::TidyReportLevel level, TidyReportLevel& ours);

// The elements that the wrapper's markup writer writes without an end tag, and those whose
// end tag the library may leave out.
bool IsEmptyClassTag(TidyTagId id);
bool IsOptionalEndClassTag(TidyTagId id);

} // namespace velmora
