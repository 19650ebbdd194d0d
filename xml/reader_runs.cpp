// The character reader's runs: the loops in which the tokenizers spend nearly all their
// time (character data, tag contents, quoted values). Plain characters are decoded
// straight from the byte window and widened into the token text in one tight loop per
// codec kind, with the cursor's counters in local variables.

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dom/wide_string_builder.h"
#include "dom/xml_rules.h"
#include "xml/ucs4_reader.h"

namespace velmora {

namespace {

// Decoders of one code unit from the window. Decode answers CR for every unit that needs
// the codec's full work: CR itself (it may start CR LF), bytes a table does not map, and
// surrogates; EndsRun tells whether the unit at p ends a run of plain characters.
struct TAsciiDecode {
  static constexpr int kUnit = 1;
  static constexpr bool kAscii = true;
  // UTF-8: two-byte sequences are taken as well.
  bool Utf8;
  char16_t Decode(const uint8_t* p) const { return *p < 0x80 ? *p : char16_t{0x0D}; }
  bool EndsRun(const TCharSet& stop, const uint8_t* p) const { return stop.EndsAsciiRun(*p); }
  // A two-byte sequence (U+0080 to U+07FF) at p: its code, else 0.
  char16_t Pair(const uint8_t* p, const uint8_t* end) const {
    if (!Utf8 || p[0] < 0xC2 || p[0] > 0xDF || end - p < 2 || (p[1] & 0xC0) != 0x80) {
      return 0;
    }
    return static_cast<char16_t>((p[0] & 0x1F) << 6 | (p[1] & 0x3F));
  }
  // Where the character that ends at q began.
  const uint8_t* Begin(const uint8_t* q) const { return (q[-1] & 0xC0) == 0x80 ? q - 2 : q - 1; }
  char16_t CodeAt(const uint8_t* p, const uint8_t* end) const {
    return *p < 0x80 ? *p : Pair(p, end);
  }
};

struct TTableDecode {
  static constexpr int kUnit = 1;
  static constexpr bool kAscii = false;
  const char16_t* Table;
  char16_t Decode(const uint8_t* p) const { return Table[*p]; }
  bool EndsRun(const TCharSet& stop, const uint8_t* p) const { return stop.EndsRun(Table[*p]); }
  char16_t Pair(const uint8_t*, const uint8_t*) const { return 0; }
  const uint8_t* Begin(const uint8_t* q) const { return q - kUnit; }
  char16_t CodeAt(const uint8_t* p, const uint8_t*) const { return Decode(p); }
};

template <bool BigEndian> struct TUtf16Decode {
  static constexpr int kUnit = 2;
  static constexpr bool kAscii = false;
  char16_t Decode(const uint8_t* p) const {
    const char16_t c = static_cast<char16_t>(BigEndian ? (p[0] << 8) | p[1] : p[0] | (p[1] << 8));
    return c >= 0xD800 && c <= 0xDFFF ? char16_t{0x0D} : c;
  }
  bool EndsRun(const TCharSet& stop, const uint8_t* p) const { return stop.EndsRun(Decode(p)); }
  char16_t Pair(const uint8_t*, const uint8_t*) const { return 0; }
  const uint8_t* Begin(const uint8_t* q) const { return q - kUnit; }
  char16_t CodeAt(const uint8_t* p, const uint8_t*) const { return Decode(p); }
};

// Widens the bytes from p on into out, sixteen at a time, up to the first byte that ends a
// run (a control byte, a byte above 0x7F, or one of the Count members); writes up to
// fifteen units beyond it. Returns that byte's address, or the end of the last whole
// block. Each byte passed is one unit: the caller moves out on as far as p went.
template <int Count>
const uint8_t* WidenAsciiBlocks(const uint8_t* p, const uint8_t* end, char16_t* out,
                                const TCharSet::TBlock* members) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  const __m128i space = _mm_set1_epi8(0x20);
  __m128i stops[Count > 0 ? Count : 1];
  for (int i = 0; i < Count; ++i) {
    stops[i] = _mm_load_si128(reinterpret_cast<const __m128i*>(members[i]));
  }
  while (end - p >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
    // Signed: bytes below 0x20 and above 0x7F both compare less than a space.
    __m128i ends = _mm_cmplt_epi8(bytes, space);
    for (int i = 0; i < Count; ++i) {
      ends = _mm_or_si128(ends, _mm_cmpeq_epi8(bytes, stops[i]));
    }
    const int mask = _mm_movemask_epi8(ends);
    if (mask != 0) {
      return p + __builtin_ctz(static_cast<unsigned>(mask));
    }
    p += 16;
    out += 16;
  }
#else
  (void)end;
  (void)out;
  (void)members;
#endif
  return p;
}

const uint8_t* WidenAsciiRun(const uint8_t* p, const uint8_t* end, char16_t* out,
                             const TCharSet::TBlock* members, int memberCount) {
  switch (memberCount) {
  case 0:
    return WidenAsciiBlocks<0>(p, end, out, members);
  case 1:
    return WidenAsciiBlocks<1>(p, end, out, members);
  case 2:
    return WidenAsciiBlocks<2>(p, end, out, members);
  case 3:
    return WidenAsciiBlocks<3>(p, end, out, members);
  case 4:
    return WidenAsciiBlocks<4>(p, end, out, members);
  case 5:
    return WidenAsciiBlocks<5>(p, end, out, members);
  default:
    return WidenAsciiBlocks<6>(p, end, out, members);
  }
}

// The line counts before an LF that a run passed, kept for the LF's slot.
struct TLineBreak {
  const uint8_t* At;
  int64_t LineChars;
  int64_t LineTabs;
};

constexpr TCharSet kTagStop(u"/>'\"");
constexpr TCharSet kApostropheStop(u"'");
constexpr TCharSet kQuotationMarkStop(u"\"");

// What a run stops at: the characters of one set.
struct TStopRule {
  const TCharSet* Stop;
  const TCharSet& Active() const { return *Stop; }
  // The character c was taken as the new look-ahead; whether the run ends with it.
  bool Take(char16_t c) { return Stop->Contains(c); }
  void TakePlain() {}
};

// The contents of a tag: "/" and ">" end it, but not inside a quoted value.
struct TTagRule {
  int32_t Quote;            // of the value open after the characters taken
  bool NewestToggled = false; // the newest character opened or closed that value
  const TCharSet& Active() const {
    return Quote == 0 ? kTagStop : Quote == '\'' ? kApostropheStop : kQuotationMarkStop;
  }
  bool Take(char16_t c) {
    NewestToggled = false;
    if (Quote == 0) {
      if (c == '/' || c == '>') {
        return true;
      }
      if (c == '\'' || c == '"') {
        Quote = c;
        NewestToggled = true;
      }
    } else if (c == Quote) {
      Quote = 0;
      NewestToggled = true;
    }
    return false;
  }
  void TakePlain() { NewestToggled = false; }
  // The open quote as the current character leaves it (the newest is the look-ahead).
  int32_t QuoteBefore(char16_t newest) const {
    if (!NewestToggled) {
      return Quote;
    }
    return Quote == 0 ? newest : 0;
  }
};

} // namespace

// Every character a run takes is one unit of the window but the two-byte sequences of
// UTF-8, so the byte and character counts follow from how far the run went; only line
// breaks, TABs and those sequences are counted as they pass.
template <class TDecode, class TRule>
bool TUtilsUCS4Reader::RunWith(TDecode decode, TRule& rule, TUtilsCustomWideStr& text) {
  constexpr int kUnit = TDecode::kUnit;
  TByteWindow& window = FByteReader.Window();
  const uint8_t* const first = window.Next;
  const uint8_t* p = first;
  // A run takes at most a chunk: the text is reserved for it beforehand.
  constexpr int64_t kChunk = 16 << 10;
  const uint8_t* const end =
      window.End - first > kChunk ? first + kChunk : window.End - (kUnit - 1);
  const int32_t ahead = AheadCode();
  if (p >= end || (decode.Decode(p) == 0x0D && decode.Pair(p, end) == 0) || ahead > 0xFFFF ||
      (ahead >= 0xD800 && ahead <= 0xDFFF)) {
    return false;
  }
  // The look-ahead becomes the current character: it goes into the text first. The
  // newest character taken becomes the look-ahead and is dropped from the text at the end.
  rule.Take(static_cast<char16_t>(ahead));
  char16_t* const start = text.reserveTail(static_cast<size_t>((end - p) / kUnit) + 2 + 16);
  char16_t* out = start;
  *out++ = static_cast<char16_t>(ahead);
  int64_t line = FLine;
  int64_t lineStart = FLineStart;
  int64_t lineTabs = FLineTabs;
  TLineBreak breaks[3]; // the newest three, by their number modulo 3; set as they come
  unsigned breakCount = 0;
  int64_t pairs = 0; // two-byte sequences taken
  for (;;) {
    const TCharSet& stop = rule.Active();
    const uint8_t* const plain = p;
    const TCharSet::TBlock* members = nullptr;
    int memberCount = 0;
    if (TDecode::kAscii && stop.PrintableMembers(members, memberCount)) {
      const uint8_t* const widened = WidenAsciiRun(p, end, out, members, memberCount);
      out += widened - p;
      p = widened;
    }
    while (p < end && !decode.EndsRun(stop, p)) {
      *out++ = decode.Decode(p);
      p += kUnit;
    }
    if (p != plain) {
      rule.TakePlain();
    }
    if (p >= end) {
      break;
    }
    char16_t c = decode.Decode(p);
    if (c == 0x0D) {
      c = decode.Pair(p, end);
      if (c == 0) {
        break;
      }
      *out++ = c;
      p += 2;
      ++pairs;
      rule.TakePlain();
      if (stop.Contains(c) && rule.Take(c)) {
        break;
      }
      continue;
    }
    *out++ = c;
    p += kUnit;
    if (c == 0x0A) {
      const int64_t charCount = FCharCount + (p - first) / kUnit - pairs;
      TLineBreak& lineBreak = breaks[breakCount++ % 3];
      lineBreak.At = p - kUnit;
      lineBreak.LineChars = charCount - 1 - lineStart - lineTabs;
      lineBreak.LineTabs = lineTabs;
      ++line;
      lineStart = charCount;
      lineTabs = 0;
    } else if (c == 0x09) {
      ++lineTabs;
    }
    if (rule.Take(c)) {
      break;
    }
  }
  const int64_t taken = (p - first) / kUnit - pairs;
  window.Next = p;
  text.setLength(text.length() + static_cast<size_t>(out - start) - 1);
  FEndByte += p - first;
  FCharCount += taken;
  FLine = line;
  FLineStart = lineStart;
  FLineTabs = lineTabs;
  // Slots for the (up to) three newest characters taken; where they begin, newest first.
  if (pairs == 0 && breakCount == 0 && p - first >= 3 * kUnit) {
    // The common case: three whole units, no line break among them to remember.
    FExtraMask = 0;
    FSlots[kPrevious] = TCharSlot{decode.Decode(p - 3 * kUnit), kUnit};
    FSlots[kCurrent] = TCharSlot{decode.Decode(p - 2 * kUnit), kUnit};
    FSlots[kAhead] = TCharSlot{decode.Decode(p - kUnit), kUnit};
    return true;
  }
  const uint8_t* starts[3];
  int count = 0;
  if (pairs == 0) {
    for (const uint8_t* q = p - kUnit; count < 3 && q >= first; q -= kUnit) {
      starts[count++] = q;
    }
  } else {
    for (const uint8_t* q = p; count < 3 && q > first; ++count) {
      q = decode.Begin(q);
      starts[count] = q;
    }
  }
  if (count == 3) {
    FExtraMask = 0;
  }
  for (int i = count - 1; i >= 0; --i) {
    const uint8_t* const at = starts[i];
    const int length = pairs == 0 ? kUnit : static_cast<int>((i == 0 ? p : starts[i - 1]) - at);
    if (count == 3) {
      FSlots[kAhead - i] = TCharSlot{decode.CodeAt(at, p), length};
    } else {
      PushSlot(decode.CodeAt(at, p), length);
    }
  }
  if (breakCount != 0) {
    for (int slot = kPrevious; slot <= kAhead; ++slot) {
      const int age = kAhead - slot;
      if (age >= count || FSlots[slot].Code != 0x0A) {
        continue;
      }
      const uint8_t* const at = starts[age];
      for (unsigned i = 0; i < breakCount && i < 3; ++i) {
        if (breaks[i].At == at) {
          FExtras[slot] = TSlotExtra();
          FExtras[slot].LineCharsBefore = breaks[i].LineChars;
          FExtras[slot].LineTabsBefore = breaks[i].LineTabs;
          FExtraMask |= 1 << slot;
        }
      }
    }
  }
  return true;
}

template <class TRule> bool TUtilsUCS4Reader::Run(TRule& rule, TUtilsCustomWideStr& text) {
  switch (FWindowMode) {
  case wmAscii:
    return RunWith(TAsciiDecode{false}, rule, text);
  case wmUtf8:
    return RunWith(TAsciiDecode{true}, rule, text);
  case wmCodec:
    switch (FCodec->FastPath()) {
    case TCustomUnicodeCodec::fpByteTable:
      return RunWith(TTableDecode{FCodec->ByteTable()}, rule, text);
    case TCustomUnicodeCodec::fpUtf16LE:
      return RunWith(TUtf16Decode<false>{}, rule, text);
    case TCustomUnicodeCodec::fpUtf16BE:
      return RunWith(TUtf16Decode<true>{}, rule, text);
    default:
      return false;
    }
  default:
    return false;
  }
}

// The common run, taken without the general loop: ASCII bytes from the window up to the
// character that ends the run, with no line break, TAB or other character that is counted
// or decoded apart on the way (a run may pass the rule's printable stops, as a tag passes
// its quotes), and at least three characters from the window, so that the three newest
// are all the run's. False, with nothing changed, for anything else.
template <class TRule> bool TUtilsUCS4Reader::RunAscii(TRule& rule, TUtilsCustomWideStr& text) {
  constexpr int64_t kMaxBytes = 1024;
  TByteWindow& window = FByteReader.Window();
  const uint8_t* const first = window.Next;
  const int32_t ahead = AheadCode();
  if (!FPrintableAsciiWindow || window.End - first < 16 || ahead > 0xFFFF ||
      (ahead >= 0xD800 && ahead <= 0xDFFF)) {
    return false;
  }
  const uint8_t* const end = window.End - first > kMaxBytes ? first + kMaxBytes : window.End;
  char16_t* const start = text.reserveTail(static_cast<size_t>(end - first) + 1 + 16);
  char16_t* out = start;
  *out++ = static_cast<char16_t>(ahead);
  TRule taken = rule;
  taken.Take(static_cast<char16_t>(ahead));
  const uint8_t* p = first;
  for (;;) {
    const TCharSet::TBlock* members = nullptr;
    int memberCount = 0;
    if (!taken.Active().PrintableMembers(members, memberCount)) {
      return false;
    }
    const uint8_t* const stop = WidenAsciiRun(p, end, out, members, memberCount);
    out += stop - p;
    p = stop;
    if (p >= end || *p < 0x20 || *p >= 0x80) {
      return false;
    }
    const char16_t c = *p++;
    *out++ = c;
    if (taken.Take(c)) {
      break;
    }
  }
  const int64_t count = p - first;
  if (count < 3) {
    return false;
  }
  rule = taken;
  window.Next = p;
  // The newest character is the look-ahead, not yet in the text.
  text.setLength(text.length() + static_cast<size_t>(count));
  FEndByte += count;
  FCharCount += count;
  FExtraMask = 0;
  FSlots[kPrevious] = TCharSlot{p[-3], 1};
  FSlots[kCurrent] = TCharSlot{p[-2], 1};
  FSlots[kAhead] = TCharSlot{p[-1], 1};
  return true;
}

void TUtilsUCS4Reader::AppendUntil(const TCharSet& stop, TUtilsCustomWideStr& text) {
  TStopRule rule{&stop};
  // Only the first step may be the common run: a run it refused is long or mixed, and the
  // general one takes it.
  bool common = true;
  for (;;) {
    const int32_t ahead = AheadCode();
    if (ahead == kEndOfInput || stop.Contains(ahead)) {
      return;
    }
    if (common && RunAscii(rule, text)) {
      return;
    }
    common = false;
    if (!Run(rule, text)) {
      Advance();
      text.addUCS4Char(CurrentCode());
    }
  }
}

void TUtilsUCS4Reader::AppendTagText(TUtilsCustomWideStr& text, int32_t& openQuote) {
  for (;;) {
    const int32_t ahead = AheadCode();
    if (ahead == kEndOfInput || (openQuote == 0 && (ahead == '/' || ahead == '>'))) {
      return;
    }
    TTagRule rule{openQuote};
    if (RunAscii(rule, text) || Run(rule, text)) {
      openQuote = rule.QuoteBefore(static_cast<char16_t>(AheadCode()));
      continue;
    }
    Advance();
    const int32_t c = CurrentCode();
    text.addUCS4Char(c);
    if (openQuote == 0 && (c == '\'' || c == '"')) {
      openQuote = c;
    } else if (c == openQuote) {
      openQuote = 0;
    }
  }
}

void TUtilsUCS4Reader::AppendNameChars(TUtilsCustomWideStr& text) {
  while (isNameChar(AheadCode())) {
    Advance();
    text.addUCS4Char(CurrentCode());
  }
}

int64_t TUtilsUCS4Reader::SkipWhiteSpaceAhead() {
  int64_t skipped = 0;
  while (isWhiteSpaceChar(AheadCode())) {
    Advance();
    ++skipped;
  }
  return skipped;
}

} // namespace velmora
