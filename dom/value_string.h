#pragma once
// The value of a text, an attribute or another node with a value: its UTF-16 code units in
// one block of the node pool, no longer than it must be. A std::u16string would put 32 bytes
// in every such node and a general allocation behind every value of more than seven units,
// and a large document holds a million values. A line break and the indentation after it,
// half the texts of a document laid out for reading, share constant text instead of taking a
// block each; such a value has no room of its own, and any change moves it to a block.

#include <cstdint>
#include <string_view>

namespace velmora {

class TDomValueString {
public:
  TDomValueString() = default;
  TDomValueString(const TDomValueString&) = delete;
  TDomValueString& operator=(const TDomValueString&) = delete;
  ~TDomValueString() { Release(); }

  std::u16string_view view() const { return {FData ? FData : u"", FSize}; }
  operator std::u16string_view() const { return view(); }
  size_t size() const { return FSize; }
  bool empty() const { return FSize == 0; }

  // Both accept text that lies in this value itself.
  void assign(std::u16string_view text);
  void append(std::u16string_view text);

  // The most code units a value holds.
  static constexpr size_t kMaxUnits = 0xFFFFFFFCu;
  // The room an append that needs needed units (at most kMaxUnits) gives a value that has
  // room for capacity: doubled, so that appending again and again stays linear, but never
  // beyond the largest value.
  static size_t GrownCapacity(size_t needed, size_t capacity);

private:
  // Moves to a new block of room for at least units code units, holding head and then tail
  // (either may lie in the old block, which goes only after they are copied).
  void Reallocate(size_t units, std::u16string_view head, std::u16string_view tail);
  void Release() noexcept;

  // FData is a block of the pool when FCapacity is not 0; otherwise it is shared or null.
  char16_t* FData = nullptr;
  uint32_t FSize = 0;
  uint32_t FCapacity = 0;
};

} // namespace velmora
