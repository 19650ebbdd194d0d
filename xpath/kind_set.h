#pragma once
// Sets of the small enumerations of the XPath front (token kinds, node classes), one bit
// per value: what the parser's rules test the look-ahead and the stack against.

#include <cstddef>
#include <cstdint>
#include <initializer_list>

namespace velmora {

template <class TEnum, size_t Count> class TDomXPathKindSet {
public:
  constexpr TDomXPathKindSet(std::initializer_list<TEnum> values) {
    for (TEnum value : values) {
      Add(static_cast<size_t>(value));
    }
  }
  // The values from first to last, both included.
  static constexpr TDomXPathKindSet Range(TEnum first, TEnum last) {
    TDomXPathKindSet set({});
    for (size_t value = static_cast<size_t>(first); value <= static_cast<size_t>(last); ++value) {
      set.Add(value);
    }
    return set;
  }
  constexpr TDomXPathKindSet operator|(TDomXPathKindSet other) const {
    for (size_t word = 0; word < kWords; ++word) {
      other.FBits[word] |= FBits[word];
    }
    return other;
  }
  constexpr bool Contains(TEnum value) const {
    const size_t bit = static_cast<size_t>(value);
    return bit < Count && (FBits[bit / 64] >> (bit % 64) & 1) != 0;
  }

private:
  static constexpr size_t kWords = (Count + 63) / 64;
  constexpr void Add(size_t bit) { FBits[bit / 64] |= uint64_t{1} << (bit % 64); }

  uint64_t FBits[kWords] = {};
};

} // namespace velmora
