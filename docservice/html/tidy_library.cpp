#include "docservice/html/tidy_library.h"

#include <array>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace velmora {

namespace {

struct TEncodingMapping {
  TidyEncodingID Ours;
  TidyEncodingOptions Library;
  std::string_view Name;
};

constexpr std::array<TEncodingMapping, 12> kEncodings = {{
    {TidyRaw, TidyEncRaw, "raw"},
    {TidyASCII, TidyEncAscii, "ascii"},
    {TidyLatin1, TidyEncLatin1, "latin1"},
    {TidyUTF8, TidyEncUtf8, "utf8"},
    {TidyISO2022, TidyEncIso2022, "iso2022"},
    {TidyMacRoman, TidyEncMac, "mac"},
    {TidyWin1252, TidyEncWin1252, "win1252"},
    {TidyUTF16le, TidyEncUtf16le, "utf16le"},
    {TidyUTF16be, TidyEncUtf16be, "utf16be"},
    {TidyUTF16, TidyEncUtf16, "utf16"},
    {TidyBig5, TidyEncBig5, "big5"},
    {TidyShiftJIS, TidyEncShiftjis, "shiftjis"},
}};

bool IsIntegerOption(TidyDoc doc, TidyOptionId option) {
  const TidyOption handle = tidyGetOption(doc, option);
  return handle && tidyOptGetType(handle) == TidyInteger;
}

} // namespace

// Blocks carry a header that links them into the document's list, so that freeing one is
// O(1) and the leftovers can be walked once at the end.
class TTidyMemory {
public:
  TTidyMemory() { FAllocator.vtbl = &kFunctions; }
  TTidyMemory(const TTidyMemory&) = delete;
  TTidyMemory& operator=(const TTidyMemory&) = delete;
  ~TTidyMemory() {
    while (FFirst) {
      THeader* block = FFirst;
      FFirst = block->Next;
      std::free(block);
    }
  }

  TidyAllocator* Allocator() { return &FAllocator; }

private:
  struct alignas(std::max_align_t) THeader {
    THeader* Prev;
    THeader* Next;
  };

  static TTidyMemory& Of(TidyAllocator* allocator) {
    return *reinterpret_cast<TTidyMemory*>(reinterpret_cast<char*>(allocator) -
                                           offsetof(TTidyMemory, FAllocator));
  }
  static THeader* HeaderOf(void* block) { return static_cast<THeader*>(block) - 1; }

  void Link(THeader* header) {
    header->Prev = nullptr;
    header->Next = FFirst;
    if (FFirst) {
      FFirst->Prev = header;
    }
    FFirst = header;
  }
  void Unlink(THeader* header) {
    (header->Prev ? header->Prev->Next : FFirst) = header->Next;
    if (header->Next) {
      header->Next->Prev = header->Prev;
    }
  }

  static void* TIDY_CALL Alloc(TidyAllocator* self, size_t size) {
    return Realloc(self, nullptr, size);
  }
  static void* TIDY_CALL Realloc(TidyAllocator* self, void* block, size_t size) {
    TTidyMemory& memory = Of(self);
    THeader* old = block ? HeaderOf(block) : nullptr;
    if (old) {
      memory.Unlink(old);
    }
    auto* header = static_cast<THeader*>(std::realloc(old, sizeof(THeader) + size));
    if (!header) {
      if (old) {
        memory.Link(old);
      }
      Panic(self, "out of memory");
    }
    memory.Link(header);
    return header + 1;
  }
  static void TIDY_CALL Free(TidyAllocator* self, void* block) {
    if (block) {
      Of(self).Unlink(HeaderOf(block));
      std::free(HeaderOf(block));
    }
  }
  // As the library's own allocator does: it cannot go on, and cannot be unwound.
  [[noreturn]] static void TIDY_CALL Panic(TidyAllocator*, ctmbstr message) {
    std::fprintf(stderr, "HTML Tidy: %s\n", message ? message : "panic");
    std::abort();
  }

  static constexpr TidyAllocatorVtbl kFunctions = {Alloc, Realloc, Free, Panic};

  TidyAllocator FAllocator;
  THeader* FFirst = nullptr;
};

void TTidyMemoryRelease::operator()(TTidyMemory* memory) const noexcept {
  delete memory;
}

TTidyDocument TTidyDocument::Create() {
  TTidyDocument document;
  document.FMemory.reset(new TTidyMemory);
  document.FDoc = tidyCreateWithAllocator(document.FMemory->Allocator());
  return document;
}

TTidyDocument& TTidyDocument::operator=(TTidyDocument&& other) noexcept {
  if (this != &other) {
    Release();
    FMemory = std::move(other.FMemory);
    FDoc = std::exchange(other.FDoc, nullptr);
  }
  return *this;
}

void TTidyDocument::Release() noexcept {
  if (FDoc) {
    tidyRelease(std::exchange(FDoc, nullptr));
  }
  FMemory.reset();
}

void TTidyBuffer::Assign(std::string_view bytes) {
  tidyBufClear(&FBuffer);
  if (!bytes.empty()) {
    tidyBufAppend(&FBuffer, const_cast<char*>(bytes.data()), static_cast<uint>(bytes.size()));
  }
}

bool GetFlagOption(TidyDoc doc, TidyOptionId option) {
  if (option == TidyUnknownOption) {
    return false;
  }
  if (IsIntegerOption(doc, option)) {
    return tidyOptGetInt(doc, option) != 0;
  }
  return tidyOptGetBool(doc, option) != no;
}

void SetFlagOption(TidyDoc doc, TidyOptionId option, bool value) {
  if (option == TidyUnknownOption) {
    return;
  }
  if (IsIntegerOption(doc, option)) {
    tidyOptSetInt(doc, option, value ? 1 : 0);
  } else {
    tidyOptSetBool(doc, option, value ? yes : no);
  }
}

NarrowString GetStringOption(TidyDoc doc, TidyOptionId option) {
  const char* value = tidyOptGetValue(doc, option);
  return value ? NarrowString(value) : NarrowString();
}

std::string_view LibraryEncodingName(TidyEncodingID encoding) {
  for (const TEncodingMapping& mapping : kEncodings) {
    if (mapping.Ours == encoding) {
      return mapping.Name;
    }
  }
  return "raw";
}

TidyEncodingID EncodingFromLibrary(unsigned long value) {
  for (const TEncodingMapping& mapping : kEncodings) {
    if (static_cast<unsigned long>(mapping.Library) == value) {
      return mapping.Ours;
    }
  }
  // Latin-0 and IBM 858 have no name of ours.
  return TidyRaw;
}

bool ReportLevelFromLibrary(::TidyReportLevel level, TidyReportLevel& ours) {
  switch (level) {
  case ::TidyInfo:
    ours = TidyInfo;
    return true;
  case ::TidyWarning:
    ours = TidyWarning;
    return true;
  case ::TidyConfig:
    ours = TidyConfig;
    return true;
  case ::TidyAccess:
    ours = TidyAccess;
    return true;
  case ::TidyError:
    ours = TidyError;
    return true;
  case ::TidyBadDocument:
    ours = TidyBadDocument;
    return true;
  case ::TidyFatal:
    ours = TidyFatal;
    return true;
  default:
    return false;
  }
}

bool IsEmptyClassTag(TidyTagId id) {
  switch (id) {
  case TidyTag_AREA: case TidyTag_BASE: case TidyTag_BASEFONT: case TidyTag_BR:
  case TidyTag_COL: case TidyTag_FRAME: case TidyTag_HR: case TidyTag_IMG:
  case TidyTag_INPUT: case TidyTag_ISINDEX: case TidyTag_LINK: case TidyTag_META:
  case TidyTag_PARAM:
  // The empty elements that came with HTML5.
  case TidyTag_WBR: case TidyTag_SOURCE: case TidyTag_TRACK: case TidyTag_EMBED:
  case TidyTag_KEYGEN:
    return true;
  default:
    return false;
  }
}

bool IsOptionalEndClassTag(TidyTagId id) {
  switch (id) {
  case TidyTag_BODY: case TidyTag_COLGROUP: case TidyTag_DD: case TidyTag_DT:
  case TidyTag_HEAD: case TidyTag_HTML: case TidyTag_LI: case TidyTag_OPTION:
  case TidyTag_P: case TidyTag_TBODY: case TidyTag_TD: case TidyTag_TFOOT:
  case TidyTag_TH: case TidyTag_THEAD: case TidyTag_TR:
    return true;
  default:
    return false;
  }
}

} // namespace velmora
