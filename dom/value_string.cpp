#include "dom/value_string.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "dom/node_pool.h"

namespace velmora {

namespace {

// Pool blocks come in steps of 8 bytes: four code units.
constexpr size_t kUnitsPerStep = TNodePool::kAlignment / sizeof(char16_t);
// Rounded up to whole steps, the largest value still counts in 32 bits.
static_assert(TDomValueString::kMaxUnits % kUnitsPerStep == 0);

// A line break followed by up to Length - 1 units of Fill.
template <char16_t Fill, size_t Length> struct TIndentation {
  constexpr TIndentation() : Units{} {
    Units[0] = u'\n';
    for (size_t i = 1; i < Length; ++i) {
      Units[i] = Fill;
    }
  }
  char16_t Units[Length];
};

// Never written to: a value that changes leaves them first.
constinit TIndentation<u' ', 256> gSpaceIndentation;
constinit TIndentation<u'\t', 64> gTabIndentation;

// The shared units that text is, or null: a line break and then only spaces or only tabs.
template <char16_t Fill, size_t Length>
char16_t* SharedAs(TIndentation<Fill, Length>& indentation, std::u16string_view text) {
  const bool shared =
      text.size() <= Length && text.find_first_not_of(Fill, 1) == std::u16string_view::npos;
  return shared ? indentation.Units : nullptr;
}

char16_t* SharedIndentation(std::u16string_view text) {
  if (text.empty() || text[0] != u'\n') {
    return nullptr;
  }
  if (text.size() > 1 && text[1] == u'\t') {
    return SharedAs(gTabIndentation, text);
  }
  return SharedAs(gSpaceIndentation, text);
}

} // namespace

void TDomValueString::assign(std::u16string_view text) {
  if (text.size() > FCapacity) {
    if (char16_t* shared = SharedIndentation(text)) {
      Release();
      FData = shared;
      FCapacity = 0;
      FSize = static_cast<uint32_t>(text.size());
      return;
    }
    Reallocate(text.size(), {}, text);
    return;
  }
  if (!text.empty()) {
    std::memmove(FData, text.data(), text.size() * sizeof(char16_t));
  }
  FSize = static_cast<uint32_t>(text.size());
}

void TDomValueString::append(std::u16string_view text) {
  if (text.empty()) {
    return;
  }
  const size_t size = FSize + text.size();
  if (size > FCapacity) {
    Reallocate(GrownCapacity(size, FCapacity), view(), text);
    return;
  }
  std::memmove(FData + FSize, text.data(), text.size() * sizeof(char16_t));
  FSize = static_cast<uint32_t>(size);
}

size_t TDomValueString::GrownCapacity(size_t needed, size_t capacity) {
  return std::max(needed, std::min(capacity * 2, kMaxUnits));
}

void TDomValueString::Reallocate(size_t units, std::u16string_view head, std::u16string_view tail) {
  if (units > kMaxUnits) {
    throw std::bad_alloc();
  }
  const size_t capacity = (units + kUnitsPerStep - 1) / kUnitsPerStep * kUnitsPerStep;
  auto* data = static_cast<char16_t*>(AllocateDomMemory(capacity * sizeof(char16_t)));
  std::copy(head.begin(), head.end(), data);
  std::copy(tail.begin(), tail.end(), data + head.size());
  Release();
  FData = data;
  FCapacity = static_cast<uint32_t>(capacity);
  FSize = static_cast<uint32_t>(head.size() + tail.size());
}

void TDomValueString::Release() noexcept {
  if (FCapacity != 0) {
    ReleaseDomMemory(FData, FCapacity * sizeof(char16_t));
  }
}

} // namespace velmora
